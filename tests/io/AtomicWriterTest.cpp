// The real atomic writer on a real folder: which file gets the bytes, with
// which mode, whether a link stays a link, and which names the folder holds
// afterwards (read as raw bytes, since a name need not be UTF-8).
#include "io/AtomicWriter.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

class AtomicWriterDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = std::filesystem::temp_directory_path().string() + "/tessaric-writer-XXXXXX";
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        m_dir = name;
        m_oldMask = ::umask(027);
    }
    void TearDown() override
    {
        ::umask(m_oldMask);
        std::filesystem::remove_all(m_dir);
    }
    std::string pathOf(const std::string& name) const { return m_dir + '/' + name; }
    void place(const std::string& name, const std::string& bytes, mode_t mode) const
    {
        std::ofstream(pathOf(name), std::ios::binary) << bytes;
        ASSERT_EQ(::chmod(pathOf(name).c_str(), mode), 0);
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(pathOf(name), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
    mode_t modeOf(const std::string& name) const
    {
        struct stat st {};
        return ::stat(pathOf(name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    bool isLink(const std::string& name) const
    {
        struct stat st {};
        return ::lstat(pathOf(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
    std::set<std::string> names(const std::string& folder = {}) const
    {
        std::set<std::string> out;
        DIR* d = ::opendir(folder.empty() ? m_dir.c_str() : pathOf(folder).c_str());
        while (const dirent* e = d ? ::readdir(d) : nullptr)
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                out.insert(e->d_name);
        if (d)
            ::closedir(d);
        return out;
    }

    std::string m_dir;
    mode_t m_oldMask = 022;
};

TEST_F(AtomicWriterDisk, ReplacesWhatThePathNamesAndKeepsItsMode)
{
    const struct {
        const char* what;
        std::string writeTo;   // the path handed to the writer
        std::string receiver;  // the file that must hold the new bytes
        mode_t mode;           // its mode afterwards
    } cases[] = {
        {"an existing file keeps its mode", "kept.vok", "kept.vok", 0604},
        {"a symlink's target is replaced and the link stays", "link.vok", "sub/real.vok", 0620},
        {"a dangling symlink creates its target", "dangling.vok", "made.vok", 0640}, // 0666 less the umask 027
        {"a name that is not UTF-8 is written by its bytes", "caf\xe9.vok", "caf\xe9.vok", 0640},
    };
    place("kept.vok", "old", 0604);
    ASSERT_EQ(::mkdir(pathOf("sub").c_str(), 0755), 0);
    place("sub/real.vok", "old", 0620);
    ASSERT_EQ(::symlink("sub/real.vok", pathOf("link.vok").c_str()), 0); // relative to the link's folder
    ASSERT_EQ(::symlink("made.vok", pathOf("dangling.vok").c_str()), 0);
    const std::set<std::string> before = names();

    std::set<std::string> expected = before;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        io::SaveFileWriter writer;
        const std::string bytes = std::string("new bytes for ") + c.what;
        ASSERT_EQ(io::writeAtomically(writer, pathOf(c.writeTo), bytes), io::WriteOutcome::Written);
        EXPECT_EQ(read(c.receiver), bytes);
        EXPECT_EQ(modeOf(c.receiver), c.mode);
        EXPECT_EQ(isLink(c.writeTo), c.writeTo != c.receiver);
        if (c.receiver.find('/') == std::string::npos)
            expected.insert(c.receiver);
        EXPECT_EQ(names(), expected); // no temporary file left, no name changed
        EXPECT_EQ(names("sub"), std::set<std::string>{"real.vok"});
    }
}

} // namespace
