// The main window's form file: yaml-cpp's tree of it and the whole design read from it, next to
// what could replace them: libfyaml's tree of the same text (when the library is installed), the
// design copied from memory as a form built into the program would be made, and the two pictures
// such a form would still read; and the window opened in the process, which all of these are a
// part of. Each tree is walked to every scalar, as the loader reads them.

#include "app/Session.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/FormFile.h"
#include "platform/host/StdPicture.h"

#include <benchmark/benchmark.h>
#include <yaml-cpp/yaml.h>

#ifdef SORREL_HAVE_LIBFYAML
#include <libfyaml.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace sorrel;

namespace {

const std::string& form_path()
{
    static const std::string path = std::string(SORREL_SOURCE_DIR) + "/app/FrmSorrel.yaml";
    return path;
}

const std::string& form_text()
{
    static const std::string text = [] {
        std::ifstream in(form_path());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return text;
}

std::string base_dir()
{
    return std::filesystem::path(form_path()).parent_path().string();
}

size_t walk(const YAML::Node& node)
{
    switch (node.Type()) {
    case YAML::NodeType::Scalar:
        return node.Scalar().size();
    case YAML::NodeType::Sequence: {
        size_t n = 0;
        for (const YAML::Node& item : node)
            n += walk(item);
        return n;
    }
    case YAML::NodeType::Map: {
        size_t n = 0;
        for (auto it = node.begin(); it != node.end(); ++it)
            n += walk(it->first) + walk(it->second);
        return n;
    }
    default:
        return 0;
    }
}

void BM_YamlCppTree(benchmark::State& state)
{
    for (auto _ : state) {
        YAML::Node root = YAML::Load(form_text());
        benchmark::DoNotOptimize(walk(root));
    }
}

#ifdef SORREL_HAVE_LIBFYAML
size_t walk(fy_node* node)
{
    if (!node)
        return 0;
    size_t n = 0;
    switch (fy_node_get_type(node)) {
    case FYNT_SCALAR: {
        size_t length = 0;
        const char* text = fy_node_get_scalar(node, &length);
        return std::string(text, length).size();
    }
    case FYNT_SEQUENCE: {
        void* iter = nullptr;
        while (fy_node* item = fy_node_sequence_iterate(node, &iter))
            n += walk(item);
        return n;
    }
    case FYNT_MAPPING: {
        void* iter = nullptr;
        while (fy_node_pair* pair = fy_node_mapping_iterate(node, &iter))
            n += walk(fy_node_pair_key(pair)) + walk(fy_node_pair_value(pair));
        return n;
    }
    }
    return n;
}

void BM_LibfyamlTree(benchmark::State& state)
{
    fy_parse_cfg config {};
    config.flags = FYPCF_QUIET;
    for (auto _ : state) {
        fy_document* document
            = fy_document_build_from_string(&config, form_text().data(), form_text().size());
        if (!document) {
            state.SkipWithError("libfyaml refused the form");
            return;
        }
        benchmark::DoNotOptimize(walk(fy_document_root(document)));
        fy_document_destroy(document);
    }
}
BENCHMARK(BM_LibfyamlTree);
#endif

// The whole design as the loader reads it: tree, values, the two pictures.
void BM_FormDesignFromYaml(benchmark::State& state)
{
    std::string base = base_dir();
    for (auto _ : state) {
        auto document = host::form_file::parse(form_text(), base, "FrmSorrel.yaml");
        if (document.is_error()) {
            state.SkipWithError(document.error().message.c_str());
            return;
        }
        benchmark::DoNotOptimize(document.value().controls.size());
    }
}

// The same design built from data already in the program: its strings and values copied, as
// constructors run from compiled-in tables would (pictures would still be read from their files).
void BM_FormDesignInMemory(benchmark::State& state)
{
    auto parsed = host::form_file::parse(form_text(), base_dir(), "FrmSorrel.yaml");
    if (parsed.is_error()) {
        state.SkipWithError(parsed.error().message.c_str());
        return;
    }
    const host::form_file::Document& design = parsed.value();
    for (auto _ : state) {
        host::form_file::Document copy = design;
        benchmark::DoNotOptimize(copy.controls.size());
    }
}

// The two pictures the design names, which a form built into the program would still read.
void BM_FormPictures(benchmark::State& state)
{
    std::string base = base_dir();
    for (auto _ : state) {
        for (const char* name : {"/artwork/icon.png", "/artwork/banner.png"}) {
            auto picture = host::LoadPicture(base + name);
            if (picture.is_error()) {
                state.SkipWithError(picture.error().message.c_str());
                return;
            }
            benchmark::DoNotOptimize(picture.value().get());
        }
    }
}

// The window opened in the process, as `sorrel --headless` opens it: host, form read and loaded,
// shown and presented once.
void BM_WindowOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto opened = app::Session::open(backend::HeadlessBackend::create(), form_path());
        if (opened.is_error()) {
            state.SkipWithError(opened.error().message.c_str());
            return;
        }
        benchmark::DoNotOptimize(opened.value().get());
    }
}

} // namespace

BENCHMARK(BM_YamlCppTree);
BENCHMARK(BM_FormDesignFromYaml);
BENCHMARK(BM_FormDesignInMemory);
BENCHMARK(BM_FormPictures);
BENCHMARK(BM_WindowOpen);
