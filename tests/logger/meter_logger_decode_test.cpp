#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "link/meter.h"
#include "logger/meter_logger.h"
#include "sim/meter_model.h"
#include "sim/stored_sets.h"

namespace slm {
namespace {

// A directory reply: memory size, space left, then one entry per set.
Bytes DirectoryBytes(const std::vector<Bytes>& entries, int count) {
  Bytes reply = MakeBytes({2, 0x40, 0x1F, 0, 0, 0x10, 0x0F, 0, 0, count, 0});
  for (const Bytes& entry : entries) reply += entry;
  return reply + MakeBytes({3});
}

// 2024/05/01 10:00:00 as the meter packs it, and its four bytes in a directory entry.
const std::uint32_t kMay = EncodeMeterDateTime(2024, 5, 1, 10, 0, 0);
const std::initializer_list<int> kMayBytes = {
    static_cast<int>(kMay >> 16 & 0xFF), static_cast<int>(kMay >> 24),
    static_cast<int>(kMay & 0xFF), static_cast<int>(kMay >> 8 & 0xFF)};

Bytes Entry(int lo, int hi, std::uint32_t size, std::initializer_list<int> time = kMayBytes) {
  Bytes entry = MakeBytes({lo, hi});
  for (int i = 0; i < 4; ++i) entry.push_back(static_cast<char>(size >> (8 * i) & 0xFF));
  return entry + MakeBytes(time);
}

TEST(DecodeMemoryDirectory, EntriesTable) {
  const struct {
    const char* name;
    Bytes entry;
    std::uint16_t number;
    std::uint32_t size;
    int records;
    std::string start;
  } cases[] = {
      {"empty set", Entry(1, 0, 341), 1, 341, 0, DecodeMeterDateTime(kMay)},
      {"100 records", Entry(0x02, 0x01, 341 + 38 * 100), 258, 341 + 3800, 100,
       DecodeMeterDateTime(kMay)},
      {"a part record", Entry(7, 0, 341 + 38 + 37), 7, 416, 1, DecodeMeterDateTime(kMay)},
      {"packed halves", Entry(0xFF, 0xFF, 341, {0x34, 0x58, 0x78, 0x56}), 65535, 341, 0,
       DecodeMeterDateTime(0x58345678)},
  };
  for (const auto& c : cases) {
    const MemoryDirectory directory = DecodeMemoryDirectory(DirectoryBytes({c.entry}, 1));
    EXPECT_EQ(directory.problem, "") << c.name;
    ASSERT_EQ(directory.sets.size(), 1u) << c.name;
    const MemorySet& set = directory.sets[0];
    EXPECT_EQ(set.position, 1) << c.name;
    EXPECT_EQ(set.number, c.number) << c.name;
    EXPECT_EQ(set.size, c.size) << c.name;
    EXPECT_EQ(set.records, c.records) << c.name;
    EXPECT_EQ(set.start, c.start) << c.name;
  }
}

// Every field is checked: a reply that is no whole, valid directory lists the
// valid entries before the first wrong one and says what was wrong.
TEST(DecodeMemoryDirectory, AReplyThatIsNoWholeValidDirectoryIsSaid) {
  const Bytes whole = DirectoryBytes({Entry(1, 0, 341), Entry(2, 0, 379), Entry(3, 0, 417)}, 3);
  const MemoryDirectory head = DecodeMemoryDirectory(whole);
  EXPECT_EQ(head.announced, 3);
  EXPECT_EQ(head.size, 8000u);
  EXPECT_EQ(head.remaining, 3856u);
  auto with = [&](std::size_t at, int byte) {
    Bytes reply = whole;
    reply[at - 1] = static_cast<char>(byte);
    return reply;
  };
  const struct {
    const char* name;
    Bytes reply;
    std::size_t listed;  // -1: not even the head
    const char* says;
  } cases[] = {
      {"whole", whole, 3, ""},
      {"cut in the second entry", whole.substr(0, 12 + 10 + 8), 1,
       "The meter's memory directory was incomplete: 1 of 3 sets arrived."},
      {"no entry at all", whole.substr(0, 11), 0,
       "The meter's memory directory was incomplete: 0 of 3 sets arrived."},
      {"all but the end byte", whole.substr(0, 41), 3,
       "The meter's memory directory was incomplete: its last byte did not arrive."},
      {"trailing bytes", whole + MakeBytes({2, 0, 7}), 3,
       "The meter's memory directory could not be read: its reply held 45 bytes where 3 sets "
       "take 42."},
      {"wrong end byte", with(42, 9), 3, "its reply does not end as a directory does"},
      {"wrong start byte", with(1, 0), 0, "its reply does not start as a directory does"},
      {"live frames", MakeBytes({2, 0, 0x10, 2, 141, 3, 2, 0, 0x10, 2, 141, 3}), 0,
       kOnlyLiveFrames},
      {"too short for the count", whole.substr(0, 9), 0, "too short to hold the number of sets"},
      {"more remaining than held", with(9, 1), 0, "more memory remaining"},
      {"a 62nd second", with(12 + 10 + 8, 31), 1, "the entry at position 2 has no real start time"},
      {"a month 0", with(12 + 10 + 6, 0x01), 1, "the entry at position 2 has no real start"},
      {"a year past 2099", with(12 + 10 + 7, 0xFF), 1, "position 2 has no real start time"},
      {"below the stored base", with(12 + 10 + 2, 0), 1,
       "the entry at position 2 gives an impossible size (256 bytes)"},
      {"more than the memory", with(12 + 10 + 5, 0x40), 1, "impossible size"},
      {"a number twice", with(12 + 20, 1), 2, "set number 1 is listed twice"},
  };
  for (const auto& c : cases) {
    const MemoryDirectory directory = DecodeMemoryDirectory(c.reply);
    EXPECT_NE(directory.problem.find(c.says), std::string::npos)
        << c.name << ": " << directory.problem;
    EXPECT_EQ(directory.valid(), std::string(c.says).empty()) << c.name;
    ASSERT_EQ(directory.sets.size(), c.listed) << c.name;
    for (std::size_t i = 0; i < c.listed; ++i) EXPECT_EQ(directory.sets[i].number, i + 1) << c.name;
  }
}

// A retry names the set it means by its start beside its position: another
// set at that position is named with it, and where the one meant is now.
TEST(OtherSetAtPosition, NamesBothWhenTheSetThereStartedAtAnotherTime) {
  const MemoryDirectory directory = DecodeMemoryDirectory(
      sim::DirectoryReply(sim::MeterModel::ParseSets("7;2024/05/01 10:00:00;1;A;FAST;30-90;\n"
                                                     "9;2024/05/02 11:30:00;1;A;FAST;30-90;\n"),
                          8000));
  const std::optional<std::int64_t> may = SetStartTime("2024/05/01  10:00:00"),
                                    june = SetStartTime("2024/06/01 10:00:00");
  ASSERT_TRUE(may && june);
  EXPECT_EQ(SetStartTime("2024/05/01 10:00:00"), may);
  EXPECT_EQ(SetStartTime("2024/05/01"), std::nullopt);
  EXPECT_EQ(OtherSetAtPosition(directory, 1, *may), "");
  EXPECT_EQ(OtherSetAtPosition(directory, 2, *may),
            "The set at position 2 is set 9, started 2024/05/02  11:30:00, not the set that "
            "started 2024/05/01 10:00:00: nothing was erased. That set is at position 1 now.");
  EXPECT_EQ(OtherSetAtPosition(directory, 3, *june),
            "There is no set at position 3, not the set that started 2024/06/01 10:00:00: "
            "nothing was erased. No set in the meter's memory started then: it may be gone "
            "already.");
}

TEST(LoggerTexts, Table) {
  EXPECT_EQ(MegabytesText(0), "0.0");
  EXPECT_EQ(MegabytesText(12300), "12.3");
  EXPECT_EQ(MegabytesText(1949), "1.9");  // to the nearest tenth
  EXPECT_EQ(MegabytesText(1950), "2.0");
  EXPECT_EQ(SetReplyLength(3), 473u);
  EXPECT_EQ(SetReplyLength(0), 359u);
  EXPECT_EQ(DirectoryReplyLength(0), 12u);
  EXPECT_EQ(DirectoryReplyLength(3), 42u);
  // Whole numbers stay whole numbers however large.
  EXPECT_EQ(StoppedSendingText(100000, 3800359),
            "The meter stopped sending: 100000 of 3800359 bytes arrived.");
  const struct {
    DownloadProgress progress;
    const char* caption;
  } captions[] = {
      {{900, 473}, "100.0% Completed"},
      {{140000, 380359, 3700.4, 64.9}, "36.8% Completed, 3700 bytes/s, 00:01:05 left"},
      {{380359, 380359, 3700, 0}, "100.0% Completed"},
  };
  for (const auto& c : captions) {
    EXPECT_EQ(DownloadProgressCaption(c.progress), c.caption) << c.caption;
  }
}

// Rounded half to even into the range; a number and blanks only.
TEST(WholeSecondsAnswer, Table) {
  const struct {
    const char* answer;
    int high;
    std::optional<int> seconds;
  } cases[] = {{"100000", 86400, 86400},   {"0", 86400, 1},
               {"2.6", 86400, 3},          {"2.5", 86400, 2},
               {"3.5", 86400, 4},          {" 7 ", 86400, 7},
               {"300", 255, 255},          {"abc", 86400, std::nullopt},
               {"7s", 86400, std::nullopt}};
  for (const auto& c : cases)
    EXPECT_EQ(WholeSecondsAnswer(c.answer, 1, c.high), c.seconds) << c.answer;
}

// The meter's reply to "O" for a set of the stored-sets text.
Bytes SetBytes(const std::string& line) {
  return sim::SetReply(sim::MeterModel::ParseSets(line).at(0));
}

const char* const kTenRecords =
    "1;2024/05/01 10:00:00;2;C;SLOW;70-130;060.0 061.0 062.0 p:085.3 064.0 065.0 066.0 "
    "067.0 068.0 069.0";

std::vector<Record> Rows(const RecordList& list) {
  std::vector<Record> rows;
  for (std::size_t i = 0; i < list.size(); ++i) rows.push_back(list.record(i).ToRecord());
  return rows;
}

// Each header value from its own place in the reply: Leq is the energy mean of
// 70, 80 and 70 dB, SEL adds 10 log10 of the 9 s they took.
TEST(DecodeSetReply, HeaderTextsAsReceived) {
  const DownloadedSet set =
      DecodeSetReply(SetBytes("4;2024/05/01 10:00:00;3;C;SLOW;70-130;070.0 080.0 070.0"), 3, 1);
  const ListHeader& h = set.list.header();
  EXPECT_EQ(h.kind, ListKind::kDataLogger2);
  EXPECT_EQ(set.set_field + "|" + h.second_value + "|" + h.frequency_weighting + "|" +
                h.time_weighting + "|" + h.range,
            "3|3|C|SLOW|70-130");
  EXPECT_EQ(h.max_level + "|" + h.max_time + "|" + h.leq + "|" + h.sel,
            "080.0 |2024/05/01 10:00:03|076.0 |085.6 ");
  EXPECT_EQ(h.l05 + "|" + h.l10 + "|" + h.l50 + "|" + h.l90 + "|" + h.l95,
            "080.0 |080.0 |070.0 |070.0 |070.0 ");
  EXPECT_TRUE(set.complete());
}

TEST(DecodeSetReply, EveryRecordOrEveryNthWithComputedTimesAndPauses) {
  const DownloadedSet set = DecodeSetReply(SetBytes(kTenRecords), 10, 1);
  EXPECT_EQ(set.records_received, 10);
  ASSERT_EQ(set.list.size(), 10u);
  EXPECT_EQ(set.list.record(0).ToRecord(), (Record{"1", "2024/05/01 10:00:00", "060.0"}));
  EXPECT_EQ(set.list.record(3).ToRecord(), (Record{"4", "2024/05/01 10:00:06", "085.3*"}));
  EXPECT_EQ(set.list.record(9).ToRecord(), (Record{"10", "2024/05/01 10:00:18", "069.0"}));
  // Every third record, numbered afresh.
  EXPECT_EQ(Rows(DecodeSetReply(SetBytes(kTenRecords), 10, 3).list),
            (std::vector<Record>{{"1", "2024/05/01 10:00:00", "060.0"},
                                 {"2", "2024/05/01 10:00:06", "085.3*"},
                                 {"3", "2024/05/01 10:00:12", "066.0"},
                                 {"4", "2024/05/01 10:00:18", "069.0"}}));
}

TEST(DecodeSetReply, FirstRecordKeepsItsOwnTimeLaterOnesAreComputedAcrossMidnight) {
  Bytes reply = SetBytes("1;2024/12/31 23:59:58;2;A;FAST;30-90;050.0 051.0 052.0");
  reply.replace(363 + 8, 19, "1999/01/02 03:04:05");
  reply.replace(363 + 38 + 8, 19, "1999/01/02 03:04:06");
  const DownloadedSet set = DecodeSetReply(reply, 3, 1);
  EXPECT_EQ(Rows(set.list), (std::vector<Record>{{"1", "1999/01/02 03:04:05", "050.0"},
                                                 {"2", "2025/01/01 00:00:00", "051.0"},
                                                 {"3", "2025/01/01 00:00:02", "052.0"}}));
}

// Every record is still listed, each with the time the meter stored with it,
// and the field that was wrong is named.
TEST(DecodeSetReply, ABadSetFieldOrStartListsEveryRecordWithItsOwnTime) {
  for (const auto& [at, bad, names] : {std::tuple{20, "x", "set field (byte 20) is \"x\""},
                                       {116 + 5, "13", "start time (bytes 116 to 134)"}}) {
    Bytes reply = SetBytes(kTenRecords);
    reply.replace(at - 1, std::string(bad).size(), bad);
    for (int i = 0; i < 10; ++i) reply.replace(363 + 38 * i + 8 + 17, 2, i < 5 ? "11" : "22");
    const DownloadedSet set = DecodeSetReply(reply, 10, 3);
    EXPECT_EQ(Rows(set.list), (std::vector<Record>{{"1", "2024/05/01 10:00:11", "060.0"},
                                                   {"2", "2024/05/01 10:00:11", "085.3*"},
                                                   {"3", "2024/05/01 10:00:22", "066.0"},
                                                   {"4", "2024/05/01 10:00:22", "069.0"}}))
        << names;
    ASSERT_EQ(set.problems.size(), 1u) << names;
    EXPECT_NE(set.problems[0].find(names), std::string::npos) << set.problems[0];
  }
}

// A part set keeps none of the meter's results for the whole set and says so.
TEST(DecodeSetReply, APartSetIsMarkedAndKeepsNoResultsOfTheWholeSet) {
  const Bytes full = SetBytes(kTenRecords);
  const ListHeader whole = DecodeSetReply(full, 10, 1).list.header();
  EXPECT_EQ(whole.note, "");
  const ListHeader part = DecodeSetReply(full.substr(0, SetReplyLength(4)), 10, 1).list.header();
  EXPECT_EQ(part.note, "incomplete: 4 of 10 records");
  for (const std::string ListHeader::*value :
       {&ListHeader::max_level, &ListHeader::max_time, &ListHeader::leq, &ListHeader::sel,
        &ListHeader::l05, &ListHeader::l95}) {
    EXPECT_FALSE((whole.*value).empty());
    EXPECT_EQ(part.*value, "");
  }
  EXPECT_EQ(part.range, whole.range);
  EXPECT_EQ(part.second_value, whole.second_value);
  // A header cut short, live frames where the reply should be, or a reply cut
  // at its range with frames after it, shows no setting made of what came instead.
  Bytes frames;
  for (int i = 0; i < 70; ++i) frames += Bytes("\x02\x01\x04\x02\x8d\x03", 6);
  for (const Bytes& reply : {full.substr(0, 80), frames, full.substr(0, 70) + frames}) {
    const DownloadedSet cut = DecodeSetReply(reply, 10, 1);
    const ListHeader& h = cut.list.header();
    EXPECT_EQ(h.second_value + h.frequency_weighting + h.time_weighting + h.range, "");
    ASSERT_FALSE(cut.problems.empty());
    EXPECT_NE(cut.problems[0].find("header did not arrive whole"), std::string::npos);
  }
}

// A hundred thousand records are numbered up to "100000", never "1e+05".
TEST(DecodeSetReply, RowNumbersAreWholeNumbers) {
  sim::StoredSet big = sim::MeterModel::ParseSets(kTenRecords).at(0);
  big.records.resize(100000, big.records[0]);
  const DownloadedSet set = DecodeSetReply(sim::SetReply(big), 100000, 1);
  ASSERT_EQ(set.list.size(), 100000u);
  EXPECT_EQ(set.list.number(99999), "100000");
  EXPECT_EQ(set.list.date_time(99999), "2024/05/03 17:33:18");
}

TEST(DecodeSetReply, LengthOfTheReplyDecidesTheRecordsListed) {
  const Bytes full = SetBytes(kTenRecords);
  ASSERT_GT(full.size(), SetReplyLength(10));
  const struct {
    const char* name;
    Bytes reply;
    int received;
  } cases[] = {
      {"longer than expected", full + Bytes(200, '9'), 10},
      {"exactly as expected", full.substr(0, SetReplyLength(10)), 10},
      {"one byte short of the last", full.substr(0, SetReplyLength(10) - 1), 9},
      {"five whole records", full.substr(0, SetReplyLength(5)), 5},
      {"header only", full.substr(0, 359), 0},
      {"part of the header", full.substr(0, 120), 0},
      {"nothing", Bytes(), 0},
      // The meter went back to its stream: what follows is no record.
      {"a live frame in record 4",
       full.substr(0, SetReplyLength(3)) + MakeBytes({2, 0, 0x10, 2, 141, 3}) +
           full.substr(SetReplyLength(3) + 6),
       3},
      {"no date in record 2", Bytes(full).replace(363 + 38 + 8, 4, "20x4"), 1},
  };
  for (const auto& c : cases) {
    const DownloadedSet set = DecodeSetReply(c.reply, 10, 1);
    EXPECT_EQ(set.records_received, c.received) << c.name;
    EXPECT_EQ(set.list.size(), static_cast<std::size_t>(c.received)) << c.name;
    EXPECT_EQ(set.complete(), c.received == 10) << c.name;
    EXPECT_EQ(set.records_expected, 10) << c.name;
  }
}

}  // namespace
}  // namespace slm
