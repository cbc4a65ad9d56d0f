#include "system/install_layout.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

class InstallLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/lintrel-layout-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        root = name;
        fs::create_directories(root / "usr" / "bin");
        fs::create_directories(root / "home" / ".config");
        user = {.home = (root / "home").string(), .configHome = ""};
    }
    void TearDown() override { fs::remove_all(root); }
    void write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    fs::path bin() const { return root / "usr" / "bin"; }
    fs::path home() const { return root / "home"; }

    fs::path root;
    UserEnvironment user;
};

TEST_F(InstallLayoutTest, TheMarkerBesideTheExecutableKeepsEverythingThere) {
    write(bin() / kPortableMarker, "portable\n");
    const InstallLayout layout = findInstallLayout(bin(), user);
    EXPECT_EQ(layout.kind, LayoutKind::Portable);
    EXPECT_EQ(layout.dataFolder, bin());
    EXPECT_EQ(layout.optionsFile(), bin() / "Options.ini");
    EXPECT_EQ(layout.exportsFolder, bin() / "Exports");
    EXPECT_EQ(layout.projectsFolder, bin() / "Projects");
}

TEST_F(InstallLayoutTest, WithoutTheMarkerTheUsersFoldersHoldWhatChanges) {
    const InstallLayout layout = findInstallLayout(bin(), user);
    EXPECT_EQ(layout.kind, LayoutKind::Installed);
    EXPECT_EQ(layout.dataFolder, root / "usr" / "share" / "lintrel");
    EXPECT_EQ(layout.optionsFile(), home() / ".config" / "lintrel" / "Options.ini");
    EXPECT_EQ(layout.exportsFolder, home() / "Documents" / "Lintrel" / "Exports");
    EXPECT_EQ(layout.projectsFolder, home() / "Documents" / "Lintrel" / "Projects");
}

TEST_F(InstallLayoutTest, ConfigHomeMustBeAbsoluteToCount) {
    user.configHome = (root / "config").string();
    EXPECT_EQ(installedLayout(bin(), user).settingsFolder, root / "config" / "lintrel");
    user.configHome = "relative/config";
    EXPECT_EQ(installedLayout(bin(), user).settingsFolder, home() / ".config" / "lintrel");
}

// user-dirs.dirs as xdg-user-dirs writes it, and lines it never writes.
TEST_F(InstallLayoutTest, DocumentsFolderFollowsUserDirs) {
    const struct {
        const char* file;
        fs::path expected;  // under home unless absolute; empty: home itself
    } rows[] = {
        {nullptr, "Documents"},
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "Documents"},
        {"# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "Dokumente"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\r\n", "Mes documents"},
        {"XDG_DOCUMENTS_DIR=\"/srv/docs\"\n", "/srv/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", ""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n", "b"},
        {"XDG_DOCUMENTS_DIR=$HOME/unquoted\n", "Documents"},
        {"XDG_DOCUMENTS_DIR=\"relative\"\n", "Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOMEWORK\"\n", "Documents"},
        {" XDG_DOCUMENTS_DIR=\"$HOME/indented\"\n", "Documents"},
    };
    for (const auto& row : rows) {
        const fs::path file = home() / ".config" / "user-dirs.dirs";
        fs::remove(file);
        if (row.file) write(file, row.file);
        const fs::path expected = row.expected.empty()         ? home()
                                  : row.expected.is_absolute() ? row.expected
                                                               : home() / row.expected;
        EXPECT_EQ(documentsFolder(user).lexically_normal(), expected.lexically_normal())
            << (row.file ? row.file : "(no file)");
    }
}

TEST_F(InstallLayoutTest, InstalledLayoutMakesItsFoldersAndCopiesTheExamplesOnce) {
    write(root / "usr" / "share" / "lintrel" / "examples" / "hl2" / "hello.lpj", "&P=HL2\r\n");
    const InstallLayout layout = installedLayout(bin(), user);
    ASSERT_EQ(createUserFolders(layout), std::nullopt);
    EXPECT_TRUE(fs::is_directory(layout.settingsFolder));
    EXPECT_TRUE(fs::is_directory(layout.exportsFolder));
    EXPECT_TRUE(fs::is_regular_file(layout.projectsFolder / "hl2" / "hello.lpj"));

    // The user's own edit stays, and a deleted example does not come back.
    write(layout.projectsFolder / "hl2" / "hello.lpj", "mine");
    write(root / "usr" / "share" / "lintrel" / "examples" / "tvc" / "hello.lpj", "&P=TVC\r\n");
    ASSERT_EQ(createUserFolders(layout), std::nullopt);
    std::ifstream kept(layout.projectsFolder / "hl2" / "hello.lpj");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine");
    EXPECT_FALSE(fs::exists(layout.projectsFolder / "tvc"));
}

TEST_F(InstallLayoutTest, PortableLayoutCreatesNothing) {
    const InstallLayout layout = portableLayout(bin());
    EXPECT_EQ(createUserFolders(layout), std::nullopt);
    EXPECT_FALSE(fs::exists(bin() / "Exports"));
    EXPECT_FALSE(fs::exists(bin() / "Projects"));
}

TEST_F(InstallLayoutTest, AFolderThatCannotBeMadeIsNamed) {
    write(home() / "Documents" / "Lintrel", "a file in the way");
    const InstallLayout layout = installedLayout(bin(), user);
    const auto error = createUserFolders(layout);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(layout.exportsFolder.string()), std::string::npos) << *error;
}

}  // namespace
}  // namespace lintrel
