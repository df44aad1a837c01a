#include "logger/meter_logger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "link/meter.h"
#include "support/simulated_meter.h"

namespace slm {
namespace {

const char* const kSets =
    "1;2024/05/01 10:00:00;1;A;FAST;30-90;065.3 066.1 p:066.0\n"
    "513;2024/05/02 11:30:20;2;C;SLOW;70-130;070.0 071.0\n"
    "7;2024/05/03 12:00:00;1;A;FAST;30-90;\n";

class MeterLoggerTest : public ::testing::Test, protected test::MeterStack {
 protected:
  MeterLoggerTest() { meter_.model().SetSets(sim::MeterModel::ParseSets(kSets)); }
  int Count(const Bytes& what) const {
    return static_cast<int>(std::count(meter_.writes().begin(), meter_.writes().end(), what));
  }
  std::string SetRecords(int n) {
    std::string line = "9;2024/05/01 10:00:00;1;A;FAST;30-90;";
    for (int i = 0; i < n; ++i) line += i % 2 ? "070.0 " : "071.5 ";
    return line;
  }
};

// One "N" and its reply, decoded as the decoder's tests show, even when it
// catches the stream in the middle of a frame; the link is free again after.
TEST_F(MeterLoggerTest, DirectoryListsTheStoredSetsAfterALiveFrameUnderWay) {
  link_.Flush();
  for (double waited = 0; meter_.InBufferCount() == 0 && waited < 1; waited += 0.0005) {
    rs232_.Wait(0.0005);
  }
  ASSERT_GT(meter_.InBufferCount(), 0);
  ASSERT_LT(meter_.InBufferCount(), 6);
  const MemoryDirectory directory = ReadMemoryDirectory(link_);
  EXPECT_EQ(Count("N"), 1);
  EXPECT_FALSE(link_.Busy());
  ASSERT_EQ(directory.sets.size(), 3u);
  EXPECT_EQ(directory.sets[1].number, 513);
  EXPECT_EQ(directory.sets[1].records, 2);
  meter_.model().SetSets({});
  EXPECT_TRUE(ReadMemoryDirectory(link_).sets.empty());
}

// The 52 bytes of four entries cut short, and the live frames after them: only
// entries whose bytes all came before the frames are listed.
TEST_F(MeterLoggerTest, AShortDirectoryIsReadTwiceThenSaidIncomplete) {
  meter_.model().SetSets(
      sim::MeterModel::ParseSets(std::string(kSets) + "8;2024/05/04 12:00:00;1;A;FAST;30-90;\n"));
  for (const auto& [cut, listed] : {std::pair{-1, 1u}, {20, 0u}, {30, 1u}}) {
    meter_.model().faults().short_replies = cut < 0;
    meter_.model().faults().reply_cut = cut;
    const double start = meter_.elapsed();
    const int asked = Count("N");
    const MemoryDirectory directory = ReadMemoryDirectory(link_);
    EXPECT_EQ(Count("N") - asked, 2);
    ASSERT_EQ(directory.sets.size(), listed) << cut;
    if (listed > 0) {
      EXPECT_EQ(directory.sets[0].start, "2024/05/01  10:00:00");
    }
    EXPECT_EQ(directory.problem, "The meter's memory directory was incomplete: " +
                                     std::to_string(listed) + " of 4 sets arrived.");
    EXPECT_LT(meter_.elapsed() - start, 2 * (kReplySilence + 0.5));
  }
}

// The tail of a longer reply, paced in bursts, must not start the reply read
// after it: the line is quiet only after a pause longer than a burst's.
TEST_F(MeterLoggerTest, ADirectoryLongerThanAnnouncedIsSaidNeverMadeUp) {
  sim::Faults& faults = meter_.model().faults();
  faults.trailing_bytes = 9;
  faults.burst_bytes = 16;
  faults.burst_pause = 0.012;
  const MemoryDirectory directory = ReadMemoryDirectory(link_);
  EXPECT_EQ(Count("N"), 2);
  EXPECT_EQ(
      directory.problem.rfind("The meter's memory directory could not be read: its reply held ", 0),
      0u)
      << directory.problem;
  EXPECT_NE(directory.problem.find(" bytes where 3 sets take 42."), std::string::npos);
  ASSERT_EQ(directory.sets.size(), 3u);
  EXPECT_EQ(directory.sets[1].number, 513);
}

// A slow start, and a pause inside the reply that resumes with byte 2 (the
// low byte of set number 2), are part of the reply.
TEST_F(MeterLoggerTest, ADirectoryWithASlowStartAndPausesIsReadWhole) {
  meter_.model().SetSets(sim::MeterModel::ParseSets(
      "2;2024/05/01 10:00:00;1;A;FAST;30-90;065.3\n3;2024/05/02 10:00:00;1;A;FAST;30-90;\n"));
  sim::Faults& faults = meter_.model().faults();
  faults.slow_start = 0.8;
  faults.burst_bytes = 11;
  faults.burst_pause = 0.5;
  const MemoryDirectory directory = ReadMemoryDirectory(link_);
  EXPECT_TRUE(directory.valid()) << directory.problem;
  ASSERT_EQ(directory.sets.size(), 2u);
  EXPECT_EQ(directory.sets[0].number, 2);
  EXPECT_EQ(Count("N"), 1);
}

TEST_F(MeterLoggerTest, OneExchangeAtATime) {
  bool refused = false;
  meter_.At(0.01, [&] {
    try {
      ReadSamplingTime(link_);
    } catch (const LinkError& e) {
      refused = std::string(e.what()) == kMeterBusy;
    }
  });
  EXPECT_EQ(ReadMemoryDirectory(link_).sets.size(), 3u);
  EXPECT_TRUE(refused);
  EXPECT_EQ(Count("J"), 0);
}

TEST_F(MeterLoggerTest, DownloadWaitsForTheWholeSet) {
  std::vector<std::size_t> received;
  DownloadHooks hooks;
  hooks.progress = [&](const DownloadProgress& progress) {
    EXPECT_EQ(progress.expected, 435u);
    received.push_back(progress.received);
  };
  const SetReply reply = DownloadSet(link_, 513, 2, hooks);
  EXPECT_EQ(Count(MakeBytes({'O', 1, 2})), 1);
  EXPECT_TRUE(reply.complete());
  EXPECT_EQ(reply.expected, 435u);
  ASSERT_FALSE(received.empty());
  EXPECT_TRUE(std::is_sorted(received.begin(), received.end()));
  EXPECT_GE(received.back(), 435u);
  const DownloadedSet set = DecodeSetReply(reply.bytes, 2, 1);
  ASSERT_EQ(set.list.size(), 2u);
  EXPECT_EQ(set.list.record(1).ToRecord(), (Record{"2", "2024/05/02 11:30:22", "071.0"}));
}

TEST_F(MeterLoggerTest, ADownloadCutHalfWayKeepsTheWholeRecords) {
  meter_.model().SetSets(sim::MeterModel::ParseSets(SetRecords(100)));
  meter_.model().faults().short_replies = true;
  const double start = meter_.elapsed();
  const SetReply reply = DownloadSet(link_, 9, 100);
  // Half of the 4163 bytes the meter sends: 45 whole records, then the live
  // frames that are no record.
  EXPECT_EQ(reply.end, ReplyEnd::kBrokeOff);
  EXPECT_EQ(reply.bytes.size(), SetReplyLength(45));
  EXPECT_LT(meter_.elapsed() - start, 4163 / 2 / 3840.0 + 1.0);
  const DownloadedSet set = DecodeSetReply(reply.bytes, 100, 1);
  EXPECT_FALSE(set.complete());
  EXPECT_EQ(set.records_received, 45);
  EXPECT_EQ(set.list.size(), static_cast<std::size_t>(set.records_received));
}

// A meter that takes at most 4% longer than the line needs loses nothing: the
// download gives up only after a silence, and tells the rate and time left.
TEST_F(MeterLoggerTest, ATenThousandRecordSetFromASlowMeterArrivesWhole) {
  meter_.model().SetSets(sim::MeterModel::ParseSets(SetRecords(10000)));
  meter_.model().faults().line_rate = 3700;
  DownloadProgress last;
  DownloadHooks hooks;
  hooks.progress = [&](const DownloadProgress& progress) {
    if (progress.received < progress.expected) last = progress;
  };
  const double start = meter_.elapsed();
  const SetReply reply = DownloadSet(link_, 9, 10000, hooks);
  EXPECT_TRUE(reply.complete());
  EXPECT_GT(meter_.elapsed() - start, 380359 / 3840.0 + 0.5);
  EXPECT_EQ(DecodeSetReply(reply.bytes, 10000, 1).list.size(), 10000u);
  EXPECT_NEAR(last.bytes_per_second, 3700, 40);
  EXPECT_LT(last.seconds_left, 0.1);
}

// A set chosen from a directory read a while ago (`shown`) goes only when it is
// still there, wherever it is by now.
TEST_F(MeterLoggerTest, AnEraseIsConfirmedOnlyByTheDirectoryReadAfterIt) {
  auto sets = [&](const std::string& text) {
    return [&, text] { meter_.model().SetSets(sim::MeterModel::ParseSets(text)); };
  };
  const std::string all = kSets, later = "2;2024/06/01 08:00:00;1;A;FAST;30-90;\n";
  const struct {
    const char* name;
    std::function<void()> fault;  // after the directory was read
    int position;
    bool shown;
    bool confirmed;
    bool unknown;
    const char* says;
  } cases[] = {
      {"one set", [] {}, 2, false, true, false,
       "Erased set 513 (position 2, started 2024/05/02  11:30:20, 2 records)."},
      {"every set", [] {}, 0, false, true, false, "Erased all 3 sets."},
      {"P ignored", [&] { meter_.model().faults().ignored = "P"; }, 2, false, false, false,
       "Set 513 was not erased: the meter still lists it."},
      {"silent after", [&] { meter_.At(0.01, [&] { meter_.model().faults().silent = true; }); }, 1,
       false, false, true,
       "could not be confirmed: The meter does not answer. Check that it is switched on and "
       "connected, then try again.\nIt may be gone, and the sets after it moved up a position."},
      {"moved up", sets(all.substr(all.find('\n') + 1)), 2, true, true, false,
       "Erased set 513 (position 1, "},
      {"gone", sets(all.substr(0, all.find('\n') + 1)), 2, true, false, false,
       "Set 513 (started 2024/05/02  11:30:20) is no longer in the meter's memory: nothing was "
       "erased."},
      {"other sets", sets(all + later), 0, true, false, false,
       "The meter's memory lists other sets than when you chose: nothing was erased."},
  };
  for (const auto& c : cases) {
    meter_.model().faults() = {};
    meter_.model().SetSets(sim::MeterModel::ParseSets(kSets));
    const MemoryDirectory before = ReadMemoryDirectory(link_);
    c.fault();
    const EraseResult result = c.shown ? EraseShownSet(link_, before, c.position)
                                       : EraseAndConfirm(link_, before, c.position);
    EXPECT_EQ(result.confirmed, c.confirmed) << c.name;
    EXPECT_EQ(result.unknown, c.unknown) << c.name;
    EXPECT_NE(result.message.find(c.says), std::string::npos) << c.name << ": " << result.message;
  }
  EXPECT_EQ(Count(MakeBytes({'P', 1, 2})), 3);
  EXPECT_EQ(Count("H"), 1);
}

TEST_F(MeterLoggerTest, SamplingTimeAndClockBothWays) {
  meter_.model().SetSamplingTime(200);
  EXPECT_EQ(ReadSamplingTime(link_), 200);
  EXPECT_EQ(Count("J"), 2);  // two answers that agree
  SetSamplingTime(link_, 255);
  EXPECT_EQ(Count(MakeBytes({'C', 0, 255})), 1);
  EXPECT_EQ(ReadSamplingTime(link_), 255);
  SetMeterClock(link_, DateTime{2016, 3, 23, 10, 15, 42});
  EXPECT_EQ(Count(MakeBytes({0x42, 0x42, 0x15, 0x10, 0x23, 0x03, 0x16})), 1);
  EXPECT_EQ(ReadMeterClock(link_), "2016/03/23 10:15:42");
  EXPECT_EQ(Count("I"), 1);
}

// The live frames that go on in the place of an answer are no answer.
TEST_F(MeterLoggerTest, AMeterThatIgnoresTheQuestionDoesNotAnswer) {
  meter_.model().faults().ignored = "IJ";
  for (const auto& read : {std::function<void()>([&] { ReadSamplingTime(link_); }),
                           std::function<void()>([&] { ReadMeterClock(link_); })}) {
    try {
      read();
      ADD_FAILURE() << "an answer was made of live frames";
    } catch (const LinkError& e) {
      EXPECT_STREQ(e.what(), kMeterDoesNotAnswer);
    }
  }
}

TEST_F(MeterLoggerTest, ASilentMeterEndsEveryExchangeInBoundedTime) {
  meter_.model().faults().silent = true;
  const struct {
    const char* name;
    std::function<void()> exchange;
    const char* error;  // nullptr: no error, an empty or incomplete result
    double limit;
  } cases[] = {
      {"directory", [&] { ReadMemoryDirectory(link_); }, kMeterDoesNotAnswer, kReplySilence + 0.5},
      {"sampling time", [&] { ReadSamplingTime(link_); }, kMeterDoesNotAnswer, 3.5},
      {"clock", [&] { ReadMeterClock(link_); }, kMeterDoesNotAnswer, 5.0},
      {"download",
       [&] {
         const SetReply reply = DownloadSet(link_, 1, 3);
         EXPECT_TRUE(reply.bytes.empty());
         EXPECT_EQ(reply.end, ReplyEnd::kSilence);
       },
       nullptr, kReplySilence + 0.5},
      {"erase", [&] { EraseSet(link_, 1); }, nullptr, 0.5},
      {"erase all", [&] { EraseAll(link_); }, nullptr, 0.5},
      {"set clock", [&] { SetMeterClock(link_, DateTime{}); }, nullptr, 0.5},
      {"set sampling time", [&] { SetSamplingTime(link_, 2); }, nullptr, 0.5},
  };
  for (const auto& c : cases) {
    const double start = meter_.elapsed();
    if (c.error) {
      try {
        c.exchange();
        ADD_FAILURE() << c.name << ": no error";
      } catch (const LinkError& e) {
        EXPECT_STREQ(e.what(), c.error) << c.name;
      }
    } else {
      c.exchange();
    }
    EXPECT_LT(meter_.elapsed() - start, c.limit) << c.name;
    EXPECT_FALSE(link_.Busy()) << c.name;
  }
}

}  // namespace
}  // namespace slm
