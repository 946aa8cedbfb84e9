#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/path_walk.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using tonalyx::detail::batch::hasWaveSuffix;
using tonalyx::detail::batch::walkPaths;

TEST(HasWaveSuffix, AnyCaseOfDotWavAtTheEnd)
{
    struct Row {
        const char* name;
        bool wave;
    } rows[] = {
        {"a.wav", true},  {"A.WAV", true},      {"b.WaV", true},   {".wav", true},
        {"wav", false},   {"a.wave", false},    {"a.wav.txt", false}, {"a_wav", false},
        {"", false},      {"a.w\xc3\xa4v", false}, {"x.wav\n", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(hasWaveSuffix(row.name), row.wave) << row.name;
}

#ifndef _WIN32
namespace {

// A scratch folder under the system's temporary folder, removed after.
class ScratchTree : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "walk.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::string at(const std::string& relative) const { return root_ + "/" + relative; }
    void file(const std::string& relative) const { std::ofstream(at(relative)) << "x"; }
    void folder(const std::string& relative) const { std::filesystem::create_directories(at(relative)); }
    void link(const std::string& target, const std::string& relative) const
    {
        std::filesystem::create_symlink(target, at(relative));
    }

    std::string root_;
};

}  // namespace

TEST_F(ScratchTree, FoldersGiveRegularWaveFilesAndLinksToThemNothingElse)
{
    folder("in/sub/deeper");
    folder("elsewhere");
    file("in/b.wav");
    file("in/A.WAV");
    file("in/notes.txt");
    file("in/sub/c.Wav");
    file("in/sub/deeper/d.wav");
    file("elsewhere/e.wav");
    link("../elsewhere", "in/linked-folder");       // a folder link inside: not walked
    link("../elsewhere/e.wav", "in/linked-file.wav");  // a file link inside: read
    link("nowhere.wav", "in/dangling.wav");         // points at nothing: skipped
    ASSERT_EQ(mkfifo(at("in/fifo.wav").c_str(), 0600), 0);  // would block a reader
    folder("in/folder.wav");                        // a folder named .wav is walked, not read

    const auto result = walkPaths({at("in")});
    // Byte order: upper case before lower case, '/' (0x2f) after '-' (0x2d).
    const std::vector<std::string> want = {at("in/A.WAV"), at("in/b.wav"), at("in/linked-file.wav"),
                                           at("in/sub/c.Wav"), at("in/sub/deeper/d.wav")};
    EXPECT_EQ(result.files, want);
    EXPECT_TRUE(result.errors.empty());
}

TEST_F(ScratchTree, PathsGivenAreTakenAsTheyAre)
{
    folder("real");
    file("real/x.wav");
    file("plain.txt");
    link("real", "link-to-real");
    ASSERT_EQ(mkfifo(at("given-fifo").c_str(), 0600), 0);

    const auto result = walkPaths({at("plain.txt"), at("link-to-real"), at("missing.wav"), at("given-fifo"),
                                   at("real/")});
    // A folder link given is searched; a name given is a file whatever its
    // ending; a trailing slash gives no doubled slash.
    const std::vector<std::string> want = {at("given-fifo"), at("link-to-real/x.wav"), at("plain.txt"),
                                           at("real/x.wav")};
    EXPECT_EQ(result.files, want);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_EQ(result.errors[0].path, at("missing.wav"));
    EXPECT_TRUE(result.errors[0].missing);
    EXPECT_EQ(result.errors[0].reason, "no such file or folder");
}

TEST_F(ScratchTree, NamesSortAsUnsignedBytes)
{
    folder("in");
    for (const char* name : {"\xc3\xa9.wav", "z.wav", "Z.wav", "-.wav", "a b.wav", "a\tb.wav"})
        file(std::string("in/") + name);
    const auto result = walkPaths({at("in")});
    // 0x09 < 0x20 < 0x2d < 0x5a < 0x7a < 0xc3, as LC_ALL=C sort orders them.
    const std::vector<std::string> want = {at("in/-.wav"),   at("in/Z.wav"), at("in/a\tb.wav"),
                                           at("in/a b.wav"), at("in/z.wav"), at("in/\xc3\xa9.wav")};
    EXPECT_EQ(result.files, want);
}
#endif
