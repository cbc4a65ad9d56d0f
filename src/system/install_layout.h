// Where Lintrel keeps its files, for both programs.
//
// Portable: a folder that holds the executables and the marker file
// Portable.txt (the build folder, `cmake --install`). Everything lives
// beside the executable: WhatsNew.txt, manual.md, Options.ini, Exports/,
// Projects/.
//
// Installed: no marker, as from the Debian package, whose /usr is not
// writable. The executable is in <prefix>/bin and
//   shipped files        <prefix>/share/lintrel
//   Options.ini          $XDG_CONFIG_HOME/lintrel (default ~/.config/lintrel)
//   Exports/, Projects/  <documents>/Lintrel, documents being XDG_DOCUMENTS_DIR
//                        of user-dirs.dirs (default ~/Documents)
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace lintrel {

inline constexpr char kPortableMarker[] = "Portable.txt";

enum class LayoutKind { Portable, Installed };

struct InstallLayout {
    LayoutKind kind = LayoutKind::Portable;
    std::filesystem::path programFolder;   // the executable's own folder
    std::filesystem::path dataFolder;      // WhatsNew.txt, manual.md, docs/, examples/
    std::filesystem::path settingsFolder;  // holds Options.ini
    std::filesystem::path exportsFolder;   // where builds write, unless told otherwise
    std::filesystem::path projectsFolder;  // where the file dialogs start

    std::filesystem::path optionsFile() const { return settingsFolder / "Options.ini"; }
};

// What the installed layout reads of the user's environment.
struct UserEnvironment {
    std::string home;        // HOME, else the password database's home folder
    std::string configHome;  // XDG_CONFIG_HOME; empty or relative means ~/.config

    static UserEnvironment fromProcess();
};

InstallLayout portableLayout(const std::filesystem::path& programFolder);
InstallLayout installedLayout(const std::filesystem::path& programFolder, const UserEnvironment& environment);
// Portable when the marker is beside the executable, installed otherwise.
InstallLayout findInstallLayout(const std::filesystem::path& programFolder,
                                const UserEnvironment& environment);

// The user's documents folder: XDG_DOCUMENTS_DIR of <config>/user-dirs.dirs
// ("$HOME/..." or an absolute path), else ~/Documents.
std::filesystem::path documentsFolder(const UserEnvironment& environment);

// Installed layout only (a portable folder has them from its install): makes
// the settings, Exports and Projects folders when missing and fills a
// Projects folder it has just made with a copy of the shipped examples. The
// error names the folder that could not be made; a failed copy of the
// examples is not one.
std::optional<std::string> createUserFolders(const InstallLayout& layout);

}  // namespace lintrel
