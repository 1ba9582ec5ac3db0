#pragma once

// A gallery sheet: a titled table of pictures with a label under each and a label before each
// row, composed onto one surface and saved as PNG.

#include "platform/gdi/Surface.h"
#include "platform/host/ErrorOr.h"

#include <string>
#include <vector>

namespace sorrel::gallery {

struct Cell {
    gdi::Surface picture;
    std::string label;
};

class Sheet {
public:
    explicit Sheet(std::string title);

    // Starts a new row; its cells follow with add().
    void row(std::string label);
    void add(gdi::Surface picture, std::string label);
    // A note printed under the title (what the sheet shows, how to read it).
    void note(std::string text) { m_notes.push_back(std::move(text)); }

    gdi::Surface render() const;
    host::ErrorOr<void> save(const std::string& path) const;

    size_t cell_count() const;

private:
    struct Row {
        std::string label;
        std::vector<Cell> cells;
    };
    std::string m_title;
    std::vector<std::string> m_notes;
    std::vector<Row> m_rows;
};

} // namespace sorrel::gallery
