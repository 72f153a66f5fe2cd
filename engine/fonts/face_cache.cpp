#include "fonts/face_cache.h"

#include "fonts/cache_files.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace quillion {

namespace {

constexpr std::string_view kHeader = "quillion font faces 2";

// What fontconfig reads from the environment: where its configuration is, the user's folders,
// and the languages that order its matches.
constexpr std::array<const char*, 10> kEnvironment = {"FONTCONFIG_FILE",
                                                      "FONTCONFIG_PATH",
                                                      "FONTCONFIG_SYSROOT",
                                                      "HOME",
                                                      "XDG_CONFIG_HOME",
                                                      "XDG_DATA_HOME",
                                                      "FC_LANG",
                                                      "LC_ALL",
                                                      "LC_CTYPE",
                                                      "LANG"};

// The program's name as fontconfig's <test name="prgname"> rules see it.
std::string ProgramLine() {
    return "N\t" + ProgramName();
}

std::string EnvironmentLine(const char* name) {
    const char* value = std::getenv(name);
    std::string line = "E\t";
    line += name;
    if (value) {
        line += "\t=";
        line += value;
    }
    return line;
}

} // namespace

FaceAnswers FaceCache::Load() const {
    std::string text;
    if (file_.empty() || !ReadCacheFile(file_, text) || !Unseal(text) || text.empty())
        return {};
    text.pop_back();
    const std::vector<std::string_view> lines = Split(text, '\n');
    constexpr std::size_t kFirstEntry = 2 + kEnvironment.size();
    if (lines.size() < kFirstEntry || lines.front() != kHeader || lines[1] != ProgramLine())
        return {};
    for (std::size_t i = 0; i < kEnvironment.size(); ++i)
        if (lines[2 + i] != EnvironmentLine(kEnvironment[i]))
            return {};
    FaceAnswers answers;
    std::vector<KeptState> watched;
    watched.reserve(lines.size() - kFirstEntry);
    for (std::size_t i = kFirstEntry; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with("P\t")) { // P, path, state: looked at once all are read
            const std::size_t tab = line.find('\t', 2);
            if (tab == std::string_view::npos)
                return {};
            watched.push_back(KeptState{line.substr(2, tab - 2), line.substr(tab + 1)});
            continue;
        }
        const std::vector<std::string_view> f = Split(line, '\t');
        FaceQuery query;
        FaceFile face;
        int italic = 0, embolden = 0;
        if (f.size() != 8 || f[0] != "F" || !ToInt(f[2], query.weight) || !ToInt(f[3], italic) ||
            !ToInt(f[4], face.index) || !ToInt(f[5], embolden))
            return {};
        query.family = f[1];
        query.italic = italic != 0;
        face.embolden = embolden != 0;
        face.path = f[7];
        if (StateOf(face.path).word != f[6])
            return {};
        answers.emplace(std::move(query), std::move(face));
    }
    if (!StatesUnchanged(watched))
        return {};
    return answers;
}

bool FaceCache::Save(const FaceAnswers& answers, const std::vector<std::string>& watched,
                     std::int64_t notBeforeNs) const {
    if (file_.empty())
        return false;
    std::string text(kHeader);
    text += '\n';
    if (!Writable(ProgramName()))
        return false;
    text += ProgramLine() + '\n';
    for (const char* name : kEnvironment) {
        const char* value = std::getenv(name);
        if (value && !Writable(value))
            return false;
        text += EnvironmentLine(name);
        text += '\n';
    }
    for (const std::string& path : watched) {
        const PathState state = StateOf(path);
        if (!Writable(path) || !Settled(state, notBeforeNs))
            return false;
        text += "P\t" + path + '\t' + state.word + '\n';
    }
    for (const auto& [query, face] : answers) {
        const PathState state = StateOf(face.path);
        if (!Settled(state, notBeforeNs))
            return false;
        if (!Writable(query.family) || !Writable(face.path))
            continue; // asked again next time
        text += "F\t" + query.family + '\t' + std::to_string(query.weight) + '\t' +
                (query.italic ? "1" : "0") + '\t' + std::to_string(face.index) + '\t' +
                (face.embolden ? "1" : "0") + '\t' + state.word + '\t' + face.path + '\n';
    }
    return ReplaceFile(file_, Sealed(std::move(text)));
}

std::string DefaultFaceCacheFile() {
    const std::string folder = CacheFolder();
    return folder.empty() ? folder : folder + "/font-faces";
}

} // namespace quillion
