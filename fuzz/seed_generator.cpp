// Writes the first inputs of the fuzz targets, made by the program's own
// writers so that they follow the file formats as the code has them: the
// snapshot files of a first scan of an in-memory machine, the archive that the
// rescan saves after an installation changed something of every kind, a
// resume marker, a few identifiers, and language files.
//
// Usage: kelvora_fuzz_seeds OUTPUT_FOLDER (one sub-folder per target).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "fuzz_support.h"
#include "monitoring/monitoring.h"
#include "platform/memory/memory_platform.h"
#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"
#include "tools/lngc/language_compiler.h"

namespace kelvora::fuzz {

namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using Bytes = std::vector<std::uint8_t>;

constexpr char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class QuietProgress : public IScanProgress {
public:
    void ShowStatus(const std::string&) override {}
    void StepProgress() override {}
};

class SeedWriter {
public:
    explicit SeedWriter(std::filesystem::path root) : root_(std::move(root)) {}

    void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
        const std::filesystem::path folder = root_ / target;
        std::filesystem::create_directories(folder);
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
    }

    void Write(const std::string& target, const std::string& name, std::string_view text) {
        Write(target, name, Bytes(text.begin(), text.end()));
    }

private:
    std::filesystem::path root_;
};

Bytes Blob(std::initializer_list<std::uint8_t> bytes) { return Bytes(bytes); }

// The machine before the installation: values of every type, a shared
// library with its counter, files on two drives.
void Prepare(platform::memory::MemoryPlatform& m, AppContext& context) {
    auto& r = m.registry;
    r.PutString(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "C:\\Program Files");
    r.PutString(kLocalMachine, "Software\\Vendor\\App", "", "default");
    r.PutString(kLocalMachine, "Software\\Vendor\\App", "Version", "1.0");
    r.PutDword(kLocalMachine, "Software\\Vendor\\App", "Count", 1);
    r.Put(kLocalMachine, "Software\\Vendor\\App", "Blob", platform::kRegBinary, Blob({1, 2, 3}));
    r.Put(kLocalMachine, "Software\\Vendor\\App", "Empty", platform::kRegNone, {});
    r.Put(kLocalMachine, "Software\\Vendor\\App\\Paths", "Search", platform::kRegMultiSz,
          Blob({'a', 0, 'b', 0, 0}));
    r.Put(kLocalMachine, "Software\\Vendor\\App\\Paths", "Home", platform::kRegExpandSz,
          Blob({'%', 'H', '%', 0}));
    r.Put(kLocalMachine, "Software\\Vendor\\Old", "Big", platform::kRegQword, Blob({1, 0, 0, 0, 0, 0, 0, 2}));
    r.PutDword(kLocalMachine, kSharedDlls, "C:\\Windows\\System\\shared.dll", 1);
    r.PutString(kLocalMachine, kSharedDlls, "C:\\Windows\\System\\text.dll", "2");
    r.PutDword(kCurrentUser, "Software\\Gone\\Deep", "v", 7);

    auto& f = m.files;
    f.AddDrive('D');
    f.AddFolder(kProgramFolder);
    f.AddFile("C:\\Windows\\a.dll", "aaaa");
    f.AddFile("C:\\Windows\\System\\shared.dll", "s");
    f.AddFile("C:\\Windows\\System\\text.dll", "t");
    f.AddFile("C:\\Program Files\\Old\\readme.txt", "old");
    f.AddFile("C:\\Program Files\\Old\\Gone\\x.txt", "x");
    f.AddFile("D:\\Data\\keep.ini", "k=1");

    context.ProgramFolder = kProgramFolder;
    context.WindowsFolder = "C:\\Windows";
    context.SystemDriveRoot = "C:\\";
    TSettings& s = context.Settings;
    s.ScanHKCR = s.ScanHKUS = s.ScanHKCC = false;
    s.ScanHKLM = s.ScanHKCU = true;
    s.ScanEntire = false;
    s.ScanWin = s.ScanProg = s.ScanOthers = true;
    s.ScanOtherPaths = "D:\\Data";
    s.ExcludedFolders.Add(kProgramFolder);
}

// The installation: something of every kind of change.
void Install(platform::memory::MemoryPlatform& m) {
    auto& r = m.registry;
    r.PutString(kLocalMachine, "Software\\Vendor\\App\\New", "Path", "C:\\Program Files\\App");
    r.PutString(kLocalMachine, "Software\\Vendor\\App", "Version", "2.0");
    r.Put(kLocalMachine, "Software\\Vendor\\App", "Blob", platform::kRegBinary, Blob({1, 2, 3, 4}));
    platform::RegKey app;
    r.OpenKey(kLocalMachine, "Software\\Vendor\\App", platform::kKeyAllAccess, app);
    r.DeleteValue(app, "Empty");
    r.DeleteKey(kLocalMachine, "Software\\Vendor\\Old");
    r.PutDword(kLocalMachine, kSharedDlls, "C:\\Windows\\System\\shared.dll", 3);
    r.PutString(kLocalMachine, kSharedDlls, "C:\\Windows\\System\\text.dll", "5");
    r.PutDword(kLocalMachine, kSharedDlls, "C:\\Windows\\System\\new.dll", 1);
    r.DeleteKey(kCurrentUser, "Software\\Gone\\Deep");

    auto& f = m.files;
    f.AddFile("C:\\Program Files\\App\\app.exe", "program");
    f.AddFile("C:\\Windows\\System\\new.dll", "n");
    f.AddFile("C:\\Program Files\\Old\\readme.txt", "newer text");
    f.DeleteFile("C:\\Program Files\\Old\\Gone\\x.txt");
    f.RemoveFolder("C:\\Program Files\\Old\\Gone");
    f.Rename("C:\\Windows\\a.dll", "D:\\Data\\a.dll");
}

Bytes FileBytes(platform::memory::MemoryFileSystem& files, const std::string& path) {
    Bytes bytes;
    if (!files.ReadFile(path, bytes)) throw std::runtime_error("no file " + path);
    return bytes;
}

void WriteSeeds(SeedWriter& seeds) {
    platform::memory::MemoryPlatform m;
    AppContext context;
    Prepare(m, context);
    NeverStop worker;
    QuietProgress progress;
    const ScanConfig config = ScanConfig::Of(context);
    ScanEnv env{m.registry, m.files, config, context.WizardState, worker};

    ExecuteScan(env, progress);
    for (const char* name : {"HKLM.SNS", "HKCU.SNS", "FIS2.SNS"}) {
        seeds.Write("snapshot", name, FileBytes(m.files, std::string(kProgramFolder) + "\\" + name));
    }

    Install(m);
    ChangesTree tree(context.Settings);
    tree.StartFill(false);
    ExecuteRescan(env, progress, tree, [&](std::string_view name) {
        return LoadSnapshot(m.files, kProgramFolder, name, context.WizardState, worker);
    });
    TChgArchive archive(m.files, m.clock, ArchiveFileBase(kProgramFolder, "App"));
    SaveChangesTree(tree, archive);
    seeds.Write("archive", "changes.qor", archive.Content());
    tree.StartFill(false);
    SaveChangesTree(tree, archive);
    seeds.Write("archive", "empty.qor", archive.Content());

    WriteResumeMarker(m.files, kProgramFolder, "App");
    seeds.Write("resume_marker", "Continue.dat", FileBytes(m.files, std::string(kProgramFolder) + "\\Continue.dat"));

    seeds.Write("identifier", "plain", std::string_view("App"));
    seeds.Write("identifier", "folder", std::string_view("Setup 2.0\0C:\\Program Files\\Kelvora", 34));
    seeds.Write("identifier", "unicode", std::string_view("\xD0\x9C\xD0\xBE\xD0\xB9 app"));
    seeds.Write("identifier", "device", std::string_view("COM1.txt"));

    // Language files as the language compiler writes them: a Western and a
    // Central European one, with flags, messages and a window's texts.
    seeds.Write("language_file", "western.lng",
                lngc::CompileLanguage("[*SYSTEM*]\nCHARSET = 0\nFLAG = flag horizontal #000000 #DD0000 #FFCE00\n"
                                      "[RESOURCESTRING]\nRS_EXIT = \"&Beenden\"\nRS_CLEAR_LOG = \"Protokoll löschen ?\"\n"
                                      "[dlgQorOptions]\nCaption = \"Optionen\"\nbtnOk.Caption = \"&OK\"\n"));
    seeds.Write("language_file", "central.lng",
                lngc::CompileLanguage("[*SYSTEM*]\nCHARSET = 238\nFLAG = flag cross #FFFFFF #CE1124\n"
                                      "[RESOURCESTRING]\nRS_EXIT = \"I&eşire\"\n"
                                      "[dlgQorOptions]\ntabGeneral.Caption = \"Opţiuni\"\n"));
}

}  // namespace

}  // namespace kelvora::fuzz

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    try {
        kelvora::fuzz::SeedWriter seeds(argv[1]);
        kelvora::fuzz::WriteSeeds(seeds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
