// Reading files that are not regular files: a FIFO without a writer must be
// refused at once, not waited on.
#include "io/DesignFile.h"
#include "io/InputFile.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto kPromptly = std::chrono::seconds(10);

class InputFileFifo : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(::mkfifo(m_path.c_str(), 0600), 0);
    }

    // Runs `read` on a thread of its own; a read that still waits after a
    // while is released by opening the FIFO for writing, and the test fails.
    template <typename Result>
    Result promptly(const std::function<Result()>& read)
    {
        auto result = std::async(std::launch::async, read);
        if (result.wait_for(kPromptly) == std::future_status::timeout) {
            ADD_FAILURE() << "reading " << m_path << " blocks";
            const int writer = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        return result.get();
    }

    QTemporaryDir m_dir;
    const std::string m_path = m_dir.filePath("design.vok").toStdString();
};

TEST_F(InputFileFifo, DesignFileReaderSaysCannotOpen)
{
    const std::string message = promptly<std::string>([&]() -> std::string {
        try {
            io::readDesignFile(m_path);
        } catch (const model::UserError& e) {
            return e.what();
        }
        return "<read>";
    });
    EXPECT_EQ(message, "Cannot open file " + m_path);
}

TEST_F(InputFileFifo, ReadFileBytesCannotOpen)
{
    std::string bytes;
    EXPECT_EQ(promptly<io::ReadOutcome>([&] { return io::readFileBytes(m_path, bytes); }),
              io::ReadOutcome::CannotOpen);
}

TEST(InputFile, DevicesAreNotRead)
{
    std::string bytes;
    EXPECT_EQ(io::readFileBytes("/dev/zero", bytes), io::ReadOutcome::CannotOpen); // would never end
}

} // namespace
