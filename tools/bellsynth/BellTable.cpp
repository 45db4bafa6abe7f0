#include "BellTable.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace bellsynth {

double BellRow::nominalOf(int bell) const {
    const BellEntry& b = bells.at(static_cast<size_t>(bell));
    if (b.nominalHz > 0.0) {
        return b.nominalHz;
    }
    return pitchConstant * std::pow(b.kg, -1.0 / 3.0);
}

int BellRow::referencePartial() const {
    for (size_t i = 0; i < partials.size(); ++i) {
        if (partials[i].ratio == 1.0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

namespace {

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream s(line.substr(0, line.find('#')));
    std::string f;
    while (s >> f) {
        out.push_back(f);
    }
    return out;
}

bool toNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    size_t used = 0;
    try {
        value = std::stod(text, &used);
    } catch (...) {
        return false;
    }
    return used == text.size() && std::isfinite(value);
}

class Parser {
public:
    explicit Parser(std::string& error) : m_error(error) {}

    std::optional<BellTable> parse(std::istream& in) {
        std::string line;
        while (std::getline(in, line)) {
            ++m_line;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const std::vector<std::string> f = splitFields(line);
            if (f.empty()) {
                continue;
            }
            if (!record(f, line)) {
                return std::nullopt;
            }
        }
        if (!finishRow()) {
            return std::nullopt;
        }
        if (static_cast<int>(m_table.rows.size()) != kRowCount) {
            return fail("the table must hold " + std::to_string(kRowCount) + " rows, it holds " +
                        std::to_string(m_table.rows.size()));
        }
        return std::move(m_table);
    }

private:
    std::nullopt_t fail(const std::string& message) {
        m_error = "line " + std::to_string(m_line) + ": " + message;
        return std::nullopt;
    }

    bool numbers(const std::vector<std::string>& f, size_t count, std::vector<double>& out,
                 size_t first = 1) {
        if (f.size() != first + count) {
            fail("\"" + f[0] + "\" takes " + std::to_string(count) + " values, found " +
                 std::to_string(f.size() - first));
            return false;
        }
        out.clear();
        for (size_t i = first; i < f.size(); ++i) {
            double v = 0.0;
            if (!toNumber(f[i], v)) {
                fail("\"" + f[i] + "\" is not a number");
                return false;
            }
            out.push_back(v);
        }
        return true;
    }

    bool record(const std::vector<std::string>& f, const std::string& line) {
        const std::string& key = f[0];
        if (key == "row") {
            return startRow(f);
        }
        if (m_row == nullptr) {
            fail("\"" + key + "\" before the first row");
            return false;
        }
        if (key == "name") {
            const size_t at = line.find("name") + 4;
            const size_t from = line.find_first_not_of(" \t", at);
            m_row->name = from == std::string::npos ? std::string() : line.substr(from);
            return true;
        }
        if (key == "partial") {
            return partial(f);
        }
        if (key == "bell") {
            return bell(f);
        }
        return setting(f);
    }

    bool startRow(const std::vector<std::string>& f) {
        if (!finishRow()) {
            return false;
        }
        std::vector<double> v;
        if (!numbers(f, 1, v)) {
            return false;
        }
        const int expected = static_cast<int>(m_table.rows.size()) + 1;
        if (v[0] != expected) {
            fail("rows must be numbered 1, 2, 3 in order; expected row " + std::to_string(expected));
            return false;
        }
        m_table.rows.emplace_back();
        m_row = &m_table.rows.back();
        m_row->number = expected;
        return true;
    }

    bool setting(const std::vector<std::string>& f) {
        using Setter = std::function<void(BellRow&, const std::vector<double>&)>;
        static const std::map<std::string, std::pair<size_t, Setter>> settings = {
            {"pitch-constant", {1, [](BellRow& r, auto& v) { r.pitchConstant = v[0]; }}},
            {"strike-ratio", {1, [](BellRow& r, auto& v) { r.strikeRatio = v[0]; }}},
            {"ring-factor", {1, [](BellRow& r, auto& v) { r.ringFactor = v[0]; }}},
            {"decay-exponent", {1, [](BellRow& r, auto& v) { r.decayExponent = v[0]; }}},
            {"scatter", {1, [](BellRow& r, auto& v) { r.scatterCents = v[0]; }}},
            {"max-beat", {1, [](BellRow& r, auto& v) { r.maxBeatHz = v[0]; }}},
            {"splash", {2, [](BellRow& r, auto& v) { r.splashDb = v[0], r.splashT60 = v[1]; }}},
            {"noise", {2, [](BellRow& r, auto& v) { r.noiseDb = v[0], r.noiseDecayMs = v[1]; }}},
            {"bounce", {2, [](BellRow& r, auto& v) { r.bounceMs = v[0], r.bounceGain = v[1]; }}},
            {"growl",
             {3, [](BellRow& r,
                    auto& v) { r.growlBeatHz = v[0], r.growlLevelDb = v[1], r.growlSpacingHz = v[2]; }}},
            {"stereo",
             {2, [](BellRow& r, auto& v) { r.stereoSpreadDb = v[0], r.stereoSpreadDegrees = v[1]; }}},
            {"reflection",
             {3,
              [](BellRow& r, auto& v) {
                  r.reflections.push_back({v[0], v[1], v[2]});
              }}},
            {"room-lowpass", {1, [](BellRow& r, auto& v) { r.roomLowpassHz = v[0]; }}},
            {"loudness", {1, [](BellRow& r, auto& v) { r.loudnessDb = v[0]; }}},
        };
        const auto it = settings.find(f[0]);
        if (it == settings.end()) {
            fail("unknown record \"" + f[0] + "\"");
            return false;
        }
        std::vector<double> v;
        if (!numbers(f, it->second.first, v)) {
            return false;
        }
        it->second.second(*m_row, v);
        return true;
    }

    bool partial(const std::vector<std::string>& f) {
        std::vector<double> v;
        if (f.size() < 2 || !numbers(f, 6, v, 2)) {
            if (f.size() < 2) {
                fail("\"partial\" takes a name and 6 values");
            }
            return false;
        }
        if (v[0] <= 0.0) {
            fail("a partial's ratio must be positive");
            return false;
        }
        if (v[2] <= 0.0 || v[3] < 0.0 || v[5] < 0.0) {
            fail("a partial's decay must be positive, its split and rise not negative");
            return false;
        }
        m_row->partials.push_back({f[1], v[0], v[1], v[2], v[3], v[4], v[5]});
        return true;
    }

    bool bell(const std::vector<std::string>& f) {
        std::vector<std::string> g = f;
        const bool derived = g.size() > 2 && g[2] == "-";
        if (derived) {
            g[2] = "0";
        }
        std::vector<double> v;
        if (!numbers(g, 8, v)) {
            return false;
        }
        BellEntry b{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
        if (b.kg <= 0.0 || (!derived && b.nominalHz <= 0.0)) {
            fail("a bell needs a positive weight and nominal");
            return false;
        }
        if (b.ringSeconds <= 0.0 || b.contactMs <= 0.0 || b.growl < 0.0 || b.growl > 1.0) {
            fail("a bell needs a positive ring and contact time and a growl from 0 to 1");
            return false;
        }
        if (derived && m_row->pitchConstant <= 0.0) {
            fail("a bell without a nominal needs the row's pitch-constant first");
            return false;
        }
        if (static_cast<int>(m_row->bells.size()) == kBellsPerRow) {
            fail("a row holds " + std::to_string(kBellsPerRow) + " bells");
            return false;
        }
        m_row->bells.push_back(b);
        return true;
    }

    bool finishRow() {
        if (m_row == nullptr) {
            return true;
        }
        const std::string which = "row " + std::to_string(m_row->number);
        if (static_cast<int>(m_row->bells.size()) != kBellsPerRow) {
            fail(which + " holds " + std::to_string(m_row->bells.size()) + " bells, not " +
                 std::to_string(kBellsPerRow));
            return false;
        }
        int references = 0;
        for (const PartialEntry& p : m_row->partials) {
            references += p.ratio == 1.0 ? 1 : 0;
        }
        if (references != 1) {
            fail(which + " needs exactly one partial of ratio 1");
            return false;
        }
        if (m_row->strikeRatio <= 0.0 || m_row->ringFactor <= 0.0 || m_row->roomLowpassHz <= 0.0) {
            fail(which + ": strike-ratio, ring-factor and room-lowpass must be positive");
            return false;
        }
        return true;
    }

    std::string& m_error;
    BellTable m_table;
    BellRow* m_row = nullptr;
    int m_line = 0;
};

} // namespace

std::optional<BellTable> parseBellTable(std::istream& in, std::string& error) {
    Parser parser(error);
    return parser.parse(in);
}

std::optional<BellTable> loadBellTable(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::optional<BellTable> table = parseBellTable(in, error);
    if (!table) {
        error = path + ": " + error;
    }
    return table;
}

} // namespace bellsynth
