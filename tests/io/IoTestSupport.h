#pragma once
// Helpers shared by the io tests: trees drawn as "level:text" lists, random
// designs, raw files, and a writer that fails like a full disk.

#include "io/AtomicWriter.h"
#include "io/HeaderCodec.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace iotest {

// "0:A|1:B|0:C" for top-level A with child B, then top-level C.
inline std::string outline(const model::DesignTree& tree)
{
    std::string out;
    for (const model::Node* n : tree.preorder()) {
        if (!out.empty())
            out += '|';
        out += std::to_string(tree.levelOf(n)) + ":" + n->text().str();
    }
    return out;
}

inline std::string le32(std::uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// A header with the magic and the given sections, then `body` from offset 700.
inline std::string fileWith(std::array<std::uint32_t, 3> starts, std::array<std::uint32_t, 3> lengths,
                            const std::string& body)
{
    model::HeaderRecord h;
    h.magic = model::kDesignMagic;
    h.starts = starts;
    h.lengths = lengths;
    return io::encodeHeader(h) + body;
}

// Three tree texts back to back, as the writer lays them out.
inline std::string fileOfThree(const std::string& fr, const std::string& dp, const std::string& pv)
{
    const auto f = static_cast<std::uint32_t>(fr.size());
    const auto d = static_cast<std::uint32_t>(dp.size());
    const auto p = static_cast<std::uint32_t>(pv.size());
    return fileWith({700, 700 + f, 700 + f + d}, {f, d, p}, fr + dp + pv);
}

inline std::string readAll(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

inline void writeRaw(const std::string& path, const std::string& bytes)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file " + path);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Every entry of a folder, to show that a failed save left no temporary file.
inline QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// A random label: any byte but CR, LF and NUL, including 0x80 to 0xFF, never
// starting with a tab or space (indentation is not part of a stored text).
inline std::string randomText(std::mt19937& rng, std::size_t maxLength)
{
    std::string s(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), 'x');
    for (char& c : s) {
        int b;
        do
            b = std::uniform_int_distribution<int>(1, 255)(rng);
        while (b == '\r' || b == '\n');
        c = static_cast<char>(b);
    }
    while (!s.empty() && (s.front() == '\t' || s.front() == ' '))
        s.front() = 'a';
    return s;
}

// Fills the design with `rows` node rows of random shape: each new row goes
// under a random node of the current branch, so trees come out deep and wide.
inline void fillRandomDesign(model::Design& design, std::mt19937& rng, int rows)
{
    std::array<std::vector<model::Node*>, 3> branch;
    for (int r = 0; r < rows; ++r) {
        const std::size_t depth = std::uniform_int_distribution<std::size_t>(0, branch[0].size())(rng);
        for (model::TreeId id : model::kAllTrees) {
            auto& b = branch[static_cast<std::size_t>(model::index(id))];
            b.resize(depth);
            model::DesignTree& t = design.tree(id);
            std::string text = randomText(rng, 40);
            b.push_back(depth == 0 ? t.appendTopLevel(std::move(text)) : t.appendChild(b.back(), std::move(text)));
        }
    }
}

// Passes through to the real writer until `budget` bytes are written, then
// fails as a full disk does: a short count, then `failValue` (-1, or 0 for a
// device that silently stops taking bytes).
class FullDiskWriter : public io::AtomicWriter {
public:
    explicit FullDiskWriter(std::int64_t budget, std::int64_t failValue = -1, bool commitFails = false)
        : m_budget(budget), m_failValue(failValue), m_commitFails(commitFails) {}
    bool open(const std::string& path) override { return m_real.open(path); }
    std::int64_t write(const char* data, std::int64_t size) override
    {
        if (m_budget == 0)
            return m_failValue;
        const std::int64_t n = std::min(size, m_budget);
        m_budget -= n;
        return m_real.write(data, n);
    }
    bool commit() override
    {
        if (!m_commitFails)
            return m_real.commit();
        m_real.cancelWriting(); // as a real commit that fails: the temporary file goes
        return false;
    }
    void cancelWriting() override
    {
        m_cancelled = true;
        m_real.cancelWriting();
    }
    bool cancelled() const { return m_cancelled; }

private:
    io::SaveFileWriter m_real;
    std::int64_t m_budget;
    std::int64_t m_failValue;
    bool m_commitFails;
    bool m_cancelled = false;
};

} // namespace iotest
