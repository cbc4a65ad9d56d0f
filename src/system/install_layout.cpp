#include "system/install_layout.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>

namespace lintrel {

namespace fs = std::filesystem;

namespace {

constexpr char kUserFolder[] = "Lintrel";
constexpr char kDocumentsKey[] = "XDG_DOCUMENTS_DIR=";

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

fs::path homeFolder(const UserEnvironment& environment) {
    return environment.home.empty() ? fs::path("/") : fs::path(environment.home);
}

fs::path configFolder(const UserEnvironment& environment) {
    const fs::path config(environment.configHome);
    return config.is_absolute() ? config : homeFolder(environment) / ".config";
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents" or an
// absolute path in quotes; anything else is not a value.
std::optional<fs::path> documentsValue(std::string_view line, const fs::path& home) {
    if (line.substr(0, sizeof kDocumentsKey - 1) != kDocumentsKey) return std::nullopt;
    std::string_view value = line.substr(sizeof kDocumentsKey - 1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
        value.remove_suffix(1);
    }
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::nullopt;
    value = value.substr(1, value.size() - 2);
    constexpr std::string_view kHome = "$HOME";
    if (value.substr(0, kHome.size()) == kHome) {
        const std::string_view rest = value.substr(kHome.size());
        if (rest.empty()) return home;
        if (rest.front() == '/') return home / fs::path(rest.substr(1));
        return std::nullopt;
    }
    if (value.empty() || value.front() != '/') return std::nullopt;
    return fs::path(value);
}

// Copies what is not there yet; the user's own files are never replaced.
void copyExamples(const fs::path& examples, const fs::path& projects) {
    std::error_code error;
    if (!fs::is_directory(examples, error)) return;
    fs::copy(examples, projects, fs::copy_options::recursive | fs::copy_options::skip_existing, error);
}

}  // namespace

UserEnvironment UserEnvironment::fromProcess() {
    UserEnvironment environment;
    environment.home = environmentValue("HOME");
    if (environment.home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
            environment.home = user->pw_dir;
    }
    environment.configHome = environmentValue("XDG_CONFIG_HOME");
    return environment;
}

fs::path documentsFolder(const UserEnvironment& environment) {
    const fs::path home = homeFolder(environment);
    std::ifstream file(configFolder(environment) / "user-dirs.dirs");
    std::optional<fs::path> documents;
    // The last assignment wins, as when the shell reads the file.
    for (std::string line; std::getline(file, line);) {
        if (auto value = documentsValue(line, home)) documents = std::move(value);
    }
    return documents.value_or(home / "Documents");
}

InstallLayout portableLayout(const fs::path& programFolder) {
    return {.kind = LayoutKind::Portable,
            .programFolder = programFolder,
            .dataFolder = programFolder,
            .settingsFolder = programFolder,
            .exportsFolder = programFolder / "Exports",
            .projectsFolder = programFolder / "Projects"};
}

InstallLayout installedLayout(const fs::path& programFolder, const UserEnvironment& environment) {
    const fs::path user = documentsFolder(environment) / kUserFolder;
    return {.kind = LayoutKind::Installed,
            .programFolder = programFolder,
            .dataFolder = (programFolder / ".." / "share" / "lintrel").lexically_normal(),
            .settingsFolder = configFolder(environment) / "lintrel",
            .exportsFolder = user / "Exports",
            .projectsFolder = user / "Projects"};
}

InstallLayout findInstallLayout(const fs::path& programFolder, const UserEnvironment& environment) {
    std::error_code error;
    if (fs::exists(programFolder / kPortableMarker, error)) return portableLayout(programFolder);
    return installedLayout(programFolder, environment);
}

std::optional<std::string> createUserFolders(const InstallLayout& layout) {
    if (layout.kind != LayoutKind::Installed) return std::nullopt;
    std::error_code error;
    const bool projectsWereMissing = !fs::exists(layout.projectsFolder, error);
    for (const fs::path& folder : {layout.settingsFolder, layout.exportsFolder, layout.projectsFolder}) {
        fs::create_directories(folder, error);
        if (!error && fs::is_directory(folder, error)) continue;
        const std::string reason = error ? error.message() : "a file of that name is in the way";
        return "Cannot create the folder \"" + folder.string() + "\": " + reason;
    }
    if (projectsWereMissing) copyExamples(layout.dataFolder / "examples", layout.projectsFolder);
    return std::nullopt;
}

}  // namespace lintrel
