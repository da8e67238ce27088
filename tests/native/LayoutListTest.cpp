#include <gtest/gtest.h>

#include <string>

#include "platform/host/OpenSslSha256.h"
#include "services/localcopy/LayoutList.h"

namespace kanvel::testing {
namespace {

using services::LayoutList;
using services::ListedFile;

services::Sha256 DigestOf(std::string_view bytes) {
    platform::host::OpenSslSha256 digest;
    digest.Add(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return digest.Finish();
}

services::LayoutReading Read(std::string_view text) {
    platform::host::OpenSslSha256 digest;
    return LayoutList::Read(text, digest);
}

std::string TextOf(const LayoutList& list) {
    platform::host::OpenSslSha256 digest;
    return list.Text(digest);
}

std::string Hex(const services::Sha256& digest) {
    std::string hex;
    for (const wchar_t c : services::HexOf(digest)) hex += static_cast<char>(c);
    return hex;
}

// Lines as a writer would seal them, so that a test can make a list whose
// seal is right but whose lines are not.
std::string Sealed(const std::string& lines, std::size_t count) {
    const std::string body = "kanvel-layout 1\n" + lines;
    return body + "end " + std::to_string(count) + " " + Hex(DigestOf(body)) + "\n";
}

LayoutList TwoFiles() {
    LayoutList list;
    list.Put({L"sterowniki/bde/setup._exe", 5, DigestOf("setup")});
    list.Put({L"programy/wersja7/bkp6/baza1.db", 0, DigestOf("")});
    return list;
}

TEST(Sha256, KnownDigestsWholeAndInPieces) {
    EXPECT_EQ(services::HexOf(DigestOf("")), L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(services::HexOf(DigestOf("abc")), L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    platform::host::OpenSslSha256 pieces;
    for (const char c : std::string("abc")) pieces.Add(reinterpret_cast<const std::uint8_t*>(&c), 1);
    EXPECT_EQ(pieces.Finish(), DigestOf("abc"));
}

TEST(LayoutList, WrittenTextIsTheDocumentedFormatInPathOrderAndReadsBack) {
    const LayoutList list = TwoFiles();
    const std::string text = TextOf(list);
    EXPECT_EQ(text, Sealed("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 0 programy/wersja7/bkp6/baza1.db\n" +
                               Hex(DigestOf("setup")) + " 5 sterowniki/bde/setup._exe\n",
                           2));
    const auto read = Read(text);
    ASSERT_TRUE(read.list) << std::string(read.refusal.begin(), read.refusal.end());
    ASSERT_EQ(read.list->files().size(), 2u);
    EXPECT_EQ(*read.list->Find(L"sterowniki/bde/setup._exe"), list.files()[0]);
    // Paths are found as Windows finds files: without regard to case.
    EXPECT_NE(read.list->Find(L"PROGRAMY/wersja7/BKP6/baza1.DB"), nullptr);
    EXPECT_EQ(read.list->Find(L"programy/wersja7/bkp6/baza2.db"), nullptr);
}

TEST(LayoutList, PutReplacesTheEntryOfTheSamePathAndAnEmptyListReads) {
    LayoutList list = TwoFiles();
    list.Put({L"STEROWNIKI/bde/setup._exe", 7, DigestOf("setup!!")});
    ASSERT_EQ(list.files().size(), 2u);
    EXPECT_EQ(list.Find(L"sterowniki/bde/setup._exe")->size, 7u);
    list.Remove(L"sterowniki/BDE/setup._exe");
    EXPECT_EQ(list.Find(L"sterowniki/bde/setup._exe"), nullptr);

    const auto empty = Read(TextOf(LayoutList()));
    ASSERT_TRUE(empty.list);
    EXPECT_TRUE(empty.list->files().empty());
}

TEST(LayoutList, ListThatPassedThroughACrLfToolStillReads) {
    std::string text = TextOf(TwoFiles());
    std::string crlf;
    for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(Read(crlf).list);
}

TEST(LayoutList, UnknownVersionAndOtherFilesAreRefusedWithTheirReason) {
    std::string text = TextOf(TwoFiles());
    std::string newer = text;
    newer.replace(0, std::string("kanvel-layout 1").size(), "kanvel-layout 3");
    const auto refused = Read(newer);
    EXPECT_FALSE(refused.list);
    EXPECT_EQ(refused.refusal, L"nieznana wersja listy: 3");
    for (const std::string& other : {std::string(), std::string("hello\n"), std::string("kanvel-layout x\n"),
                                    std::string("\xEF\xBB\xBFkanvel-layout 1\n")}) {
        const auto reading = Read(other);
        EXPECT_FALSE(reading.list);
        EXPECT_EQ(reading.refusal, L"to nie jest lista plików kopii");
    }
    EXPECT_EQ(Read(std::string(LayoutList::kMaxBytes + 1, 'k')).refusal, L"lista jest za długa");
}

// However a list is cut short, it is refused; only its final line end may go.
TEST(LayoutList, EveryTruncationIsRefused) {
    const std::string text = TextOf(TwoFiles());
    ASSERT_TRUE(Read(text.substr(0, text.size() - 1)).list);
    for (std::size_t length = 0; length + 1 < text.size(); ++length)
        EXPECT_FALSE(Read(text.substr(0, length)).list) << "cut after " << length << " bytes";
    const auto cut = Read(text.substr(0, text.find("end ")));
    EXPECT_EQ(cut.refusal, L"lista niekompletna (brak ostatniego wiersza)");
}

// Any one byte changed, a line lost, a line added: refused.
TEST(LayoutList, EveryTamperingIsRefused) {
    const std::string text = TextOf(TwoFiles());
    const std::size_t endAt = text.find("end ");
    for (std::size_t at = std::string("kanvel-layout 1\n").size(); at < text.size() - 1; ++at) {
        std::string changed = text;
        changed[at] = changed[at] == '0' ? '1' : '0';
        EXPECT_FALSE(Read(changed).list) << "byte " << at << " changed";
    }
    const std::size_t secondLine = text.find('\n') + 1;
    std::string lost = text;
    lost.erase(secondLine, text.find('\n', secondLine) + 1 - secondLine);
    EXPECT_EQ(Read(lost).refusal, L"lista uszkodzona lub zmieniona (nie zgadza się jej SHA-256)");
    std::string added = text;
    added.insert(endAt, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 0 inne/plik\n");
    EXPECT_FALSE(Read(added).list);
    EXPECT_EQ(Read(text + "x\n").refusal, L"lista uszkodzona (wiersze po ostatnim wierszu)");
}

// A seal over bad lines does not make them good: a writer's fault or a
// hand-made list is refused as well.
TEST(LayoutList, SealedListsWithBadLinesAreRefused) {
    const std::string hash = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    EXPECT_TRUE(Read(Sealed(hash + " 0 tabele/a\n", 1)).list);
    EXPECT_EQ(Read(Sealed(hash + " 0 tabele/a\n", 2)).refusal, L"lista uszkodzona (nie zgadza się liczba plików)");
    for (const std::string path : {"../a", "/a", "tabele//a", "tabele/./a", "C:/a", "tabele\\a", "tabele/a/", ""})
        EXPECT_EQ(Read(Sealed(hash + " 0 " + path + "\n", 1)).refusal, L"błędny wiersz listy nr 2") << path;
    for (const std::string& line : {hash + " 00 a", hash + " -1 a", hash + " 18446744073709551616 a",
                                   hash.substr(1) + " 0 a", "E3B0" + hash.substr(4) + " 0 a", hash + " 0"})
        EXPECT_FALSE(Read(Sealed(line + "\n", 1)).list) << line;
    EXPECT_EQ(Read(Sealed(hash + " 0 tabele/a\n" + hash + " 0 TABELE/A\n", 2)).refusal,
              L"plik na liście więcej niż raz: TABELE/A");
}

}  // namespace
}  // namespace kanvel::testing
