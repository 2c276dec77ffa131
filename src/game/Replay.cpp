#include "game/Replay.h"

#include "game/AtomicFile.h"
#include "render/WholeFile.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace {

const char kMagic[] = "QMREPLAY";
constexpr size_t kMagicLength = 8;
constexpr size_t kTickBytes = 22;
constexpr int kLongestRoundSeconds = 3600;
// The longest round, every tick recorded, is under 5 MB.
constexpr size_t kLargestReplayBytes = 64u << 20;

class Writer {
public:
    void bytes(const void* data, size_t count) { out.append(static_cast<const char*>(data), count); }
    void u8(uint8_t value) { out.push_back(static_cast<char>(value)); }
    void u16(uint16_t value) { little(value, 2); }
    void u32(uint32_t value) { little(value, 4); }
    void u64(uint64_t value) { little(value, 8); }
    void f32(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    void text(const std::string& value) {
        u16(static_cast<uint16_t>(value.size()));
        out += value;
    }
    std::string out;

private:
    void little(uint64_t value, int count) {
        for (int i = 0; i < count; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
};

class Reader {
public:
    explicit Reader(const std::string& data) : data(data) {}
    bool has(size_t count) const { return data.size() - at >= count; }
    void skip(size_t count) { at += count; }
    size_t left() const { return data.size() - at; }
    bool u8(uint8_t& value) {
        uint64_t v = 0;
        if (!little(v, 1)) return false;
        value = static_cast<uint8_t>(v);
        return true;
    }
    bool u16(uint16_t& value) {
        uint64_t v = 0;
        if (!little(v, 2)) return false;
        value = static_cast<uint16_t>(v);
        return true;
    }
    bool u32(uint32_t& value) {
        uint64_t v = 0;
        if (!little(v, 4)) return false;
        value = static_cast<uint32_t>(v);
        return true;
    }
    bool u64(uint64_t& value) { return little(value, 8); }
    bool f32(float& value) {
        uint32_t bits = 0;
        if (!u32(bits)) return false;
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    bool text(std::string& value) {
        uint16_t length = 0;
        if (!u16(length) || !has(length)) return false;
        value = data.substr(at, length);
        at += length;
        return true;
    }

private:
    bool little(uint64_t& value, int count) {
        if (!has(static_cast<size_t>(count))) return false;
        value = 0;
        for (int i = 0; i < count; ++i)
            value |= static_cast<uint64_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
        at += static_cast<size_t>(count);
        return true;
    }

    const std::string& data;
    size_t at = 0;
};

bool fail(std::string& problem, const std::string& what) {
    problem = what;
    return false;
}

bool readTick(Reader& in, TickInput& tick) {
    uint8_t flags = 0;
    if (!in.u8(tick.keys) || !in.u8(flags) || !in.f32(tick.turn) || !in.f32(tick.pitch) || !in.f32(tick.aim.x) ||
        !in.f32(tick.aim.y) || !in.f32(tick.aim.z))
        return false;
    tick.fire = flags & 1u;
    tick.dash = flags & 2u;
    return (tick.keys >> kPlayerKeyCount) == 0 && (flags >> 2) == 0 && std::isfinite(tick.turn) &&
           std::isfinite(tick.pitch) && std::isfinite(tick.aim.x) && std::isfinite(tick.aim.y) &&
           std::isfinite(tick.aim.z);
}

bool readHeader(Reader& in, Replay& replay, const std::string& ourVersion, uint32_t& ticks, std::string& problem) {
    uint32_t format = 0;
    if (!in.u32(format)) return fail(problem, "is truncated: it ends inside its header");
    if (format > Replay::kFormat) {
        return fail(problem, "was written by a newer Quillmarsh (replay format " + std::to_string(format) +
                                 "; this version reads format " + std::to_string(Replay::kFormat) + ")");
    }
    if (format == 0) return fail(problem, "is damaged: replay format 0 does not exist");
    if (!in.text(replay.gameVersion)) return fail(problem, "is truncated: it ends inside its header");
    if (compareVersions(replay.gameVersion, ourVersion) > 0) {
        return fail(problem, "was recorded by Quillmarsh " + replay.gameVersion + ", newer than this version (" +
                                 ourVersion + ")");
    }
    uint32_t seed = 0, seconds = 0;
    uint16_t settingCount = 0;
    if (!in.u32(seed) || !in.f32(replay.start.yaw) || !in.f32(replay.start.pitch) || !in.u32(seconds) ||
        !in.u16(settingCount))
        return fail(problem, "is truncated: it ends inside its header");
    replay.start.seed = seed;
    if (seconds < 1 || seconds > kLongestRoundSeconds || !std::isfinite(replay.start.yaw) ||
        !std::isfinite(replay.start.pitch))
        return fail(problem, "is damaged: its start is out of range");
    replay.start.roundSeconds = static_cast<int>(seconds);
    for (uint16_t i = 0; i < settingCount; ++i) {
        std::string key, value;
        if (!in.text(key) || !in.text(value)) return fail(problem, "is truncated: it ends inside its header");
        replay.settings.emplace_back(key, value);
        if (key == Replay::kDifficultyKey) {
            const std::optional<Difficulty> difficulty = parseDifficulty(value);
            if (!difficulty)
                return fail(problem, "asks for the difficulty '" + value + "', which this version does not know");
            replay.start.difficulty = *difficulty;
            continue;
        }
        if (key != Replay::kTickRateKey)
            return fail(problem, "asks for the play setting '" + key + "', which this version does not know");
        if (value != std::to_string(World::kTicksPerSecond)) {
            return fail(problem, "was recorded at " + value + " ticks per second; this version ticks " +
                                     std::to_string(World::kTicksPerSecond) + " times a second");
        }
    }
    if (!in.u64(replay.endState) || !in.u32(ticks)) return fail(problem, "is truncated: it ends inside its header");
    return true;
}

}  // namespace

int compareVersions(const std::string& a, const std::string& b) {
    std::istringstream left(a), right(b);
    while (left.good() || right.good()) {
        long x = 0, y = 0;
        std::string part;
        if (std::getline(left, part, '.')) x = std::strtol(part.c_str(), nullptr, 10);
        if (std::getline(right, part, '.')) y = std::strtol(part.c_str(), nullptr, 10);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

Replay Replay::begin(const std::string& gameVersion, const World::Start& start) {
    Replay replay;
    replay.gameVersion = gameVersion;
    replay.start = start;
    replay.settings.emplace_back(kTickRateKey, std::to_string(World::kTicksPerSecond));
    replay.settings.emplace_back(kDifficultyKey, difficultyName(start.difficulty));
    return replay;
}

std::string Replay::encode() const {
    Writer out;
    out.bytes(kMagic, kMagicLength);
    out.u32(kFormat);
    out.text(gameVersion);
    out.u32(start.seed);
    out.f32(start.yaw);
    out.f32(start.pitch);
    out.u32(static_cast<uint32_t>(start.roundSeconds));
    out.u16(static_cast<uint16_t>(settings.size()));
    for (const auto& [key, value] : settings) {
        out.text(key);
        out.text(value);
    }
    out.u64(endState);
    out.u32(static_cast<uint32_t>(inputs.size()));
    for (const TickInput& tick : inputs) {
        out.u8(tick.keys);
        out.u8(static_cast<uint8_t>((tick.fire ? 1u : 0u) | (tick.dash ? 2u : 0u)));
        out.f32(tick.turn);
        out.f32(tick.pitch);
        out.f32(tick.aim.x);
        out.f32(tick.aim.y);
        out.f32(tick.aim.z);
    }
    return out.out;
}

std::optional<Replay> Replay::decode(const std::string& bytes, const std::string& ourVersion, std::string& problem) {
    if (bytes.size() < kMagicLength || bytes.compare(0, kMagicLength, kMagic) != 0) {
        problem = "is not a Quillmarsh replay";
        return std::nullopt;
    }
    Reader in(bytes);
    in.skip(kMagicLength);
    Replay replay;
    uint32_t ticks = 0;
    if (!readHeader(in, replay, ourVersion, ticks, problem)) return std::nullopt;
    const size_t whole = in.left() / kTickBytes;
    if (whole < ticks) {
        problem = "is truncated: it holds " + std::to_string(whole) + " of " + std::to_string(ticks) + " ticks";
        return std::nullopt;
    }
    replay.inputs.resize(ticks);
    for (uint32_t i = 0; i < ticks; ++i) {
        if (!readTick(in, replay.inputs[i])) {
            problem = "is damaged: tick " + std::to_string(i) + " holds values no input can have";
            return std::nullopt;
        }
    }
    if (in.left() > 0) {
        problem = "is damaged: " + std::to_string(in.left()) + " bytes follow its last tick";
        return std::nullopt;
    }
    return replay;
}

std::optional<Replay> Replay::read(const std::string& path, const std::string& ourVersion, std::string& error) {
    const WholeFile file = WholeFile::read(path, kLargestReplayBytes);
    if (!file.ok()) {
        error = "cannot read the replay " + path + ": " + file.reason;
        return std::nullopt;
    }
    std::string problem;
    auto replay = decode(file.content, ourVersion, problem);
    if (!replay) error = "the replay " + path + " " + problem;
    return replay;
}

bool Replay::write(const std::string& path, std::string& error) const {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code made;
    if (!folder.empty()) std::filesystem::create_directories(folder, made);
    if (made) {
        error = "cannot make the folder " + folder.string() + ": " + made.message();
        return false;
    }
    return AtomicFile::write(path, encode(), error);
}
