#include "export/export_format.h"

#include "platform/text.h"

namespace kelvora {

namespace {

struct Known {
    std::string_view Extension;
    ExportFormat Format;
};
constexpr Known kKnown[] = {{".txt", ExportFormat::kText},
                            {".html", ExportFormat::kHtml},
                            {".htm", ExportFormat::kHtml},
                            {".json", ExportFormat::kJson},
                            {".cmd", ExportFormat::kUndoPackage},
                            {".reg", ExportFormat::kUndoPackage}};

// The extension of the name (after its last backslash), with its dot, or "".
std::string_view ExtensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('\\');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    return path.substr(dot);
}

const Known* KnownExtension(std::string_view extension) {
    for (const Known& k : kKnown) {
        if (EqualsNoCase(k.Extension, extension)) return &k;
    }
    return nullptr;
}

}  // namespace

ExportTarget ChooseExportTarget(int filterIndex, std::string_view path) {
    ExportTarget target;
    const std::string_view extension = ExtensionOf(path);
    const Known* known = KnownExtension(extension);
    switch (filterIndex) {
        case 2: target.Format = ExportFormat::kHtml; break;
        case 3: target.Format = ExportFormat::kJson; break;
        case 4: target.Format = ExportFormat::kUndoPackage; break;
        case 1: target.Format = ExportFormat::kText; break;
        default: target.Format = known != nullptr ? known->Format : ExportFormat::kText; break;
    }
    if (target.Format == ExportFormat::kUndoPackage) {
        const std::size_t slash = path.find_last_of('\\');
        target.Path = slash == std::string_view::npos ? std::string(".") : std::string(path.substr(0, slash));
        if (target.Path.size() == 2 && target.Path[1] == ':') target.Path += '\\';
        return target;
    }
    target.Path = std::string(path);
    const bool byFilter = filterIndex >= 1 && filterIndex <= 3;
    if (!byFilter || (known != nullptr && known->Format == target.Format)) return target;
    if (known != nullptr) target.Path.resize(target.Path.size() - extension.size());
    switch (target.Format) {
        case ExportFormat::kHtml: target.Path += ".html"; break;
        case ExportFormat::kJson: target.Path += ".json"; break;
        default: target.Path += ".txt"; break;
    }
    return target;
}

}  // namespace kelvora
