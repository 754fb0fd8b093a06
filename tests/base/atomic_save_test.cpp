#include "base/atomic_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velacor::base {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class AtomicSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir =
            std::filesystem::temp_directory_path() /
            ("velacor_save_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path m_dir;
};

TEST_F(AtomicSaveTest, ReplacesTheFileOnSuccessAndKeepsItOnFailure) {
    const auto path = (m_dir / "out.csv").string();
    ASSERT_TRUE(
        AtomicSave(path, [](std::ostream& out) { return static_cast<bool>(out << "one\n"); }));
    EXPECT_EQ(ReadAll(path), "one\n");

    EXPECT_FALSE(AtomicSave(path, [](std::ostream& out) {
        out << "half";
        return false;
    }));
    EXPECT_EQ(ReadAll(path), "one\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));
}

TEST_F(AtomicSaveTest, UnwritableFolderFails) {
    EXPECT_FALSE(
        AtomicSave((m_dir / "missing" / "out.csv").string(), [](std::ostream&) { return true; }));
}

}  // namespace
}  // namespace velacor::base
