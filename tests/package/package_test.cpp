// The Debian package as a user gets it: cpack builds it from this build
// folder, its control data and file list hold what an install needs, and
// the programs unpacked from it run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_program.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

using namespace std::chrono_literals;

class PackageTest : public ::testing::Test {
protected:
    // One package for every test of the program: building it takes seconds.
    static void SetUpTestSuite() {
        scratch_ = new TempDir;
        RunOptions slow;
        slow.timeout = 300s;
        ProgramResult r = RunProgram(
            QB_CPACK,
            {"-G", "DEB", "--config", QB_BINARY_DIR "/CPackConfig.cmake", "-B", *scratch_ / "out"},
            slow);
        built_ = r;
        std::error_code ec;  // no folder: cpack failed, SetUp says why
        for (const auto& e : std::filesystem::directory_iterator(*scratch_ / "out", ec))
            if (e.path().extension() == ".deb") deb_ = e.path().string();
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(built_.status, 0) << built_;
        ASSERT_FALSE(deb_.empty()) << built_;
    }
    static ProgramResult DpkgDeb(const std::vector<std::string>& args) {
        return RunProgram("/usr/bin/dpkg-deb", args);
    }
    static std::string Field(const std::string& name) {
        ProgramResult r = DpkgDeb({"-f", deb_, name});
        EXPECT_EQ(r.status, 0) << r;
        std::string v = r.out;
        while (!v.empty() && (v.back() == '\n' || v.back() == ' '))
            v.pop_back();
        return v;
    }
    // The package unpacked (once) into a scratch root.
    static std::string Root() {
        std::string root = *scratch_ / "root";
        if (!std::filesystem::exists(root)) {
            ProgramResult r = DpkgDeb({"-x", deb_, root});
            EXPECT_EQ(r.status, 0) << r;
        }
        return root;
    }

    static TempDir* scratch_;
    static ProgramResult built_;
    static std::string deb_;
};

TempDir* PackageTest::scratch_ = nullptr;
ProgramResult PackageTest::built_;
std::string PackageTest::deb_;

TEST_F(PackageTest, ControlDataNamesThePackageAndWhatItNeeds) {
    EXPECT_EQ(Field("Package"), "quillbox-reader");
    EXPECT_EQ(Field("Version"), QB_PROJECT_VERSION);
    EXPECT_EQ(std::filesystem::path(deb_).filename().string(), std::string("quillbox-reader_") +
                                                                   QB_PROJECT_VERSION + "_" +
                                                                   Field("Architecture") + ".deb");
    EXPECT_FALSE(Field("Maintainer").empty());
    EXPECT_FALSE(Field("Description").empty());
    // The libraries come from dpkg-shlibdeps, not from a list kept by hand.
    std::string depends = Field("Depends");
    for (const char* lib : {"libc6", "libstdc++6", "zlib1g", "libicu", "libqt6core6",
                            "libqt6widgets6", "libqt6network6"})
        EXPECT_NE(depends.find(lib), std::string::npos) << lib << " in " << depends;
    ProgramResult info = DpkgDeb({"-I", deb_});
    EXPECT_EQ(info.status, 0) << info;
}

TEST_F(PackageTest, FileListHoldsEverythingAnInstallNeeds) {
    ProgramResult list = DpkgDeb({"-c", deb_});
    ASSERT_EQ(list.status, 0) << list;
    for (const char* path : {
             "./usr/bin/qbx",
             "./usr/bin/quillbox-reader",
             "./usr/share/applications/quillbox-reader.desktop",
             "./usr/share/mime/packages/quillbox-reader.xml",
             "./usr/share/metainfo/io.github.quillbox.reader.metainfo.xml",
             "./usr/share/icons/hicolor/scalable/apps/quillbox-reader.svg",
             "./usr/share/icons/hicolor/48x48/apps/quillbox-reader.png",
             "./usr/share/icons/hicolor/scalable/mimetypes/application-x-quillbox.svg",
             "./usr/share/icons/hicolor/48x48/mimetypes/application-x-quillbox.png",
             "./usr/share/man/man1/qbx.1",
             "./usr/share/man/man1/quillbox-reader.1",
             "./usr/share/quillbox-reader/guide/index.html",
             "./usr/share/quillbox-reader/guide/tutorial.html",
             "./usr/share/quillbox-reader/guide/index-window.png",
             "./usr/share/quillbox-reader/samples/demo.qbx",
         })
        EXPECT_NE(list.out.find(std::string(path) + "\n"), std::string::npos) << path;
    // The databases dpkg's triggers make on the target: never shipped.
    for (const char* cache : {"mime.cache", "mimeinfo.cache", "icon-theme.cache"})
        EXPECT_EQ(list.out.find(cache), std::string::npos) << cache;
    // Nothing outside /usr, nothing from the build folder.
    EXPECT_EQ(list.out.find(" ./etc/"), std::string::npos);
    EXPECT_EQ(list.out.find(QB_BINARY_DIR), std::string::npos);
}

TEST_F(PackageTest, UnpackedProgramsRun) {
    std::string root = Root();
    ProgramResult qbx = RunProgram(root + "/usr/bin/qbx", {"--version"});
    EXPECT_EQ(qbx.status, 0) << qbx;
    ProgramResult built = RunProgram(QB_BINARY_DIR "/bin/qbx", {"--version"});
    EXPECT_EQ(qbx.out, built.out);
    EXPECT_EQ(qbx.out.rfind("qbx ", 0), 0u) << qbx.out;

    ProgramResult reader = RunProgram(root + "/usr/bin/quillbox-reader", {"--version"});
    EXPECT_EQ(reader.status, 0) << reader;
    EXPECT_EQ(reader.out.rfind("quillbox-reader ", 0), 0u) << reader.out;

    // The demo file the package brings opens.
    ProgramResult demo = RunProgram(root + "/usr/bin/qbx",
                                    {"info", root + "/usr/share/quillbox-reader/samples/demo.qbx"});
    EXPECT_EQ(demo.status, 0) << demo;
}

TEST_F(PackageTest, DesktopFilesAreValid) {
    std::string share = Root() + "/usr/share";
    auto run = [](const std::string& tool, const std::vector<std::string>& args) {
        if (!std::filesystem::exists(tool)) {
            ADD_FAILURE() << tool << " is missing: scripts/deps.sh installs it";
            return;
        }
        ProgramResult r = RunProgram(tool, args);
        EXPECT_EQ(r.status, 0) << tool << "\n" << r;
        EXPECT_EQ(r.out.find("warning"), std::string::npos) << tool << "\n" << r;
    };
    run("/usr/bin/appstreamcli",
        {"validate", "--no-net", share + "/metainfo/io.github.quillbox.reader.metainfo.xml"});
    run("/usr/bin/desktop-file-validate", {share + "/applications/quillbox-reader.desktop"});
    // The file type compiles into a MIME database of its own.
    TempDir mime;
    std::filesystem::create_directories(mime / "packages");
    std::filesystem::copy_file(share + "/mime/packages/quillbox-reader.xml",
                               mime / "packages/quillbox-reader.xml");
    run("/usr/bin/update-mime-database", {mime.Path()});
    std::string type = ReadFile(mime / "application/x-quillbox.xml");
    EXPECT_NE(type.find("*.qbx"), std::string::npos) << type;
}

}  // namespace
}  // namespace qb::testing
