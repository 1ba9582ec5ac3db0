#pragma once

// Form files: a form's design as YAML, read and written by Form::load_file / Form::save_file.
//
//   form:
//     name: FrmSorrel
//     caption: "Sorrel"
//     client: [4125, 3870]          # client width and height, twips
//     backcolor: 0x00FFFFFF         # colours in hex (0x80000005 names a system colour)
//     forecolor: 0x80000012
//     font: !font {name: MS Sans Serif, size: 8.25}
//     icon: sorrel.ico              # pictures: paths relative to the form file
//   controls:                       # in containment order: a container comes before its contents
//     - kind: Frame
//       name: Frame2
//       position: [360, 840, 3495, 3015]   # left, top, width, height in twips
//       properties:
//         - borderstyle: !int 0
//     - kind: QuillButton
//       name: CmdSCan
//       container: Frame2           # the form when absent; "Frame(1)" for an array member
//       index: 0                    # only for members of a control array
//       visible: false              # when hidden at start
//       properties:                 # the stored properties, in order, duplicates kept
//         - tx: "Begin Scan"        # quoted text is a String
//         - btype: 3                # a plain integer is a Long; !int 3 an Integer
//         - enab: true              # Boolean
//         - gstop: 0x00FF0000       # hex is a Long (a colour)
//         - font: !font {name: Times New Roman, size: 8.25, weight: 400, bold: false, italic: false,
//                        underline: false, strikethrough: false, charset: 0}
//         - micon: !picture ~       # no picture; !picture icon.ico loads one
//
// A control with no `properties` is a new instance (UserControl_InitProperties); with them it
// is loaded (UserControl_ReadProperties). Plain numbers with a point are Doubles; !single 1.5
// is a Single; ~ is Empty. A damaged file gives an error naming the file and line.

#include "platform/host/ErrorOr.h"
#include "platform/host/PropertyBag.h"
#include "platform/host/StdPicture.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host::form_file {

struct FormDesign {
    std::string name;
    std::string caption;
    float client_width {0};
    float client_height {0};
    Variant back_color;
    Variant fore_color;
    Variant font;
    Variant icon;
};

struct ControlEntry {
    std::string kind;
    std::string name;
    int16_t index {-1};
    std::string container; // display name; empty for the form
    float left {0}, top {0}, width {0}, height {0};
    bool visible {true};
    int tab_index {-1};
    bool has_properties {false};
    PropertyBag properties;
    int line {0};
};

struct Document {
    FormDesign form;
    std::vector<ControlEntry> controls;
};

// Gives the picture that a form file names by `path` (as written in the file).
using PictureLoader = std::function<ErrorOr<PictureRef>(const std::string& path)>;
// Pictures from the disk, relative paths taken from `base_dir`.
PictureLoader pictures_in(const std::string& base_dir);

// Parses a form file; pictures are loaded relative to `base_dir`, or by `load`.
ErrorOr<Document> parse(std::string_view text, const std::string& base_dir, const std::string& file_name);
ErrorOr<Document> parse(std::string_view text, const PictureLoader& load, const std::string& file_name);
// Writes a document; pictures without a file of their own are saved as PNG files beside it.
ErrorOr<std::string> write(const Document& document, const std::string& base_dir);

} // namespace sorrel::host::form_file
