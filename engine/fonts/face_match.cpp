#include "fonts/face_match.h"

#include "fonts/cache_files.h"
#include "fonts/font_libraries.h"

#include <cstdlib>
#include <dirent.h>
#include <set>
#include <string_view>
#include <sys/stat.h>

namespace quillion {

namespace {

// Folders below the font folders are listed up to this many; a larger tree is not worth
// watching (the caller then keeps no answers).
constexpr std::size_t kMaxWatchedFolders = 4096;
constexpr int kMaxFolderDepth = 16;

// fontconfig's functions; called only once Fontconfig().Ready().
const FontconfigFunctions& Fc() {
    return Fontconfig().call;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void AddAll(FcStrList* list, std::set<std::string>& out) {
    if (!list)
        return;
    while (FcChar8* item = Fc().FcStrListNext(list))
        out.insert(reinterpret_cast<const char*>(item));
    Fc().FcStrListDone(list);
}

std::string Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Adds the folders below folder (a font added anywhere below changes one of their times).
// Returns false when the tree has more than kMaxWatchedFolders folders.
bool AddFoldersBelow(const std::string& folder, int depth, std::set<std::string>& out) {
    if (depth > kMaxFolderDepth)
        return true;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return true;
    bool ok = true;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "/" + name;
        const bool folderEntry =
            entry->d_type == DT_DIR ||
            ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) && IsFolder(path));
        if (!folderEntry || !out.insert(path).second)
            continue;
        if (out.size() > kMaxWatchedFolders || !AddFoldersBelow(path, depth + 1, out)) {
            ok = false;
            break;
        }
    }
    ::closedir(dir);
    return ok;
}

// The files an <include> of a configuration file may name, found as fontconfig looks for them:
// under the user's configuration folder for prefix="xdg", under $HOME for "~/", as given when
// absolute, else in each configuration folder (and beside the including file). Watched while
// missing too, so that an ignore_missing include that appears later is noticed.
void AddIncludes(const std::string& file, std::set<std::string>& out) {
    std::string text;
    if (!ReadSmallFile(file, text))
        return;
    for (std::size_t open = text.find("<!--"); open != std::string::npos;
         open = text.find("<!--", open)) {
        const std::size_t close = text.find("-->", open + 4);
        text.erase(open, close == std::string::npos ? close : close + 3 - open);
    }
    const std::string home = Env("HOME");
    const std::string configHome =
        !Env("XDG_CONFIG_HOME").empty() ? Env("XDG_CONFIG_HOME") : home + "/.config";
    std::vector<std::string> folders;
    for (const std::string_view folder : Split(Env("FONTCONFIG_PATH"), ':'))
        if (!folder.empty())
            folders.emplace_back(folder);
    folders.push_back("/etc/fonts");
    folders.push_back(Parent(file));
    for (std::size_t at = text.find("<include"); at != std::string::npos;
         at = text.find("<include", at + 1)) {
        const std::size_t tagEnd = text.find('>', at);
        const std::size_t close = text.find("</include>", at);
        if (tagEnd == std::string::npos || close == std::string::npos || close < tagEnd)
            continue;
        const std::string tag = text.substr(at, tagEnd - at);
        std::string name = text.substr(tagEnd + 1, close - tagEnd - 1);
        name.erase(0, name.find_first_not_of(" \t\r\n"));
        name.erase(name.find_last_not_of(" \t\r\n") + 1);
        if (name.empty())
            continue;
        if (tag.find("prefix=\"xdg\"") != std::string::npos)
            out.insert(configHome + "/" + name);
        else if (name[0] == '~')
            out.insert(home + name.substr(1));
        else if (name[0] == '/')
            out.insert(name);
        else
            for (const std::string& folder : folders)
                out.insert(folder + "/" + name);
    }
}

} // namespace

FaceFile MatchFace(const FaceQuery& query) {
    FaceFile out;
    if (!Fontconfig().Ready())
        return out;
    FcPattern* pattern = Fc().FcPatternCreate();
    if (!pattern)
        return out;
    Fc().FcPatternAddString(pattern, FC_FAMILY,
                            reinterpret_cast<const FcChar8*>(query.family.c_str()));
    Fc().FcPatternAddInteger(pattern, FC_WEIGHT, Fc().FcWeightFromOpenType(query.weight));
    Fc().FcPatternAddInteger(pattern, FC_SLANT, query.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    Fc().FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    Fc().FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    Fc().FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = Fc().FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        FcBool embolden = FcFalse;
        if (Fc().FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            out.path = reinterpret_cast<const char*>(file);
        if (Fc().FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            out.index = index;
        if (Fc().FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
            out.embolden = embolden == FcTrue;
        Fc().FcPatternDestroy(match);
    }
    Fc().FcPatternDestroy(pattern);
    return out;
}

std::optional<std::vector<std::string>> ConfigurationPaths() {
    std::set<std::string> files, fontFolders;
    if (!Fontconfig().Ready())
        return std::nullopt;
    FcConfig* config = Fc().FcConfigGetCurrent();
    if (!config)
        return std::nullopt;
    AddAll(Fc().FcConfigGetConfigFiles(config), files);
    AddAll(Fc().FcConfigGetConfigDirs(config), fontFolders);
    AddAll(Fc().FcConfigGetFontDirs(config), fontFolders);

    std::set<std::string> paths;
    for (const std::string& file : files) {
        // A symbolic link (most of conf.d) is watched through what it names: its folder,
        // watched too, changes when the link is replaced or removed, and every run then looks
        // at the target straight away instead of walking through the link.
        const std::string target = LinkTarget(file);
        paths.insert(target.empty() ? file : target);
        paths.insert(Parent(file)); // a file added beside it, such as conf.d/99-mine.conf
        AddIncludes(file, paths);
    }
    // The per-user places the usual configuration includes when they exist: watched while
    // absent too, so that creating one is noticed.
    const std::string home = Env("HOME");
    const std::string configHome =
        !Env("XDG_CONFIG_HOME").empty() ? Env("XDG_CONFIG_HOME") : home + "/.config";
    const std::string dataHome =
        !Env("XDG_DATA_HOME").empty() ? Env("XDG_DATA_HOME") : home + "/.local/share";
    for (const std::string& path :
         {configHome + "/fontconfig", configHome + "/fontconfig/conf.d",
          configHome + "/fontconfig/fonts.conf", dataHome + "/fonts", home + "/.fonts",
          home + "/.fonts.conf", home + "/.fonts.conf.d"})
        paths.insert(path);
    for (const std::string& folder : fontFolders) {
        paths.insert(folder);
        if (!AddFoldersBelow(folder, 0, paths))
            return std::nullopt;
    }
    return std::vector<std::string>(paths.begin(), paths.end());
}

} // namespace quillion
