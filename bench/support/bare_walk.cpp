#include "support/bare_walk.h"

#include "scan/folder_walk.h"
#include "scan/registry_walk.h"

namespace kelvora::bench {

namespace {

struct NullKeyVisitor {
    Counts counts;
    void BeginKey(std::string_view, std::string_view, bool, std::uint64_t) { ++counts.keys; }
    void Value(std::string_view, std::string_view, std::uint32_t, const std::uint8_t*, std::int32_t) {
        ++counts.values;
    }
    void EndKey() {}
};

struct NullFolderVisitor {
    Counts counts;
    void Folder(std::string_view, bool) { ++counts.keys; }
    void File(std::string_view, std::string_view, const std::uint8_t (&)[8]) { ++counts.values; }
};

}  // namespace

Counts BareKeyWalk(ScanEnv& env, platform::RootKey root, std::string_view keyPath) {
    NullKeyVisitor visitor;
    RegistryWalk<NullKeyVisitor> walk(env.registry, root, env.config, env.worker, visitor);
    walk.Walk(keyPath, {});
    return visitor.counts;
}

Counts BareFolderWalk(ScanEnv& env, std::string_view path) {
    NullFolderVisitor visitor;
    FolderWalk<NullFolderVisitor> walk(env.files, env.config.Settings.ExcludedFolders, env.worker, visitor);
    walk.Walk(path);
    return visitor.counts;
}

}  // namespace kelvora::bench
