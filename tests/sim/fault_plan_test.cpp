#include "sim/lib/fault_plan.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace fjl::sim {
namespace {

TEST(FaultRuleText, KindAloneAppliesToEveryRequest) {
  const FaultRule rule = ParseFaultRule("silence");
  EXPECT_EQ(rule.kind, FaultKind::Silence);
  EXPECT_EQ(rule.command, -1);
  EXPECT_EQ(rule.every, 1);
  EXPECT_EQ(rule.limit, -1);
}

TEST(FaultRuleText, KeysAndValues) {
  const FaultRule silence = ParseFaultRule("silence:cmd=241,limit=1");
  EXPECT_EQ(silence.command, 241);
  EXPECT_EQ(silence.limit, 1);

  const FaultRule error = ParseFaultRule("error:code=0106,cmd=0x42");
  EXPECT_EQ(error.kind, FaultKind::ErrorCode);
  EXPECT_EQ(error.code, "0106");
  EXPECT_EQ(error.command, 0x42);

  const FaultRule syn = ParseFaultRule("syn-before:count=120,gap=50");
  EXPECT_EQ(syn.kind, FaultKind::SynBefore);
  EXPECT_EQ(syn.count, 120);
  EXPECT_EQ(syn.gap, std::chrono::milliseconds(50));

  const FaultRule cut = ParseFaultRule("cut:at=7,etx=1");
  EXPECT_EQ(cut.at, 7);
  EXPECT_TRUE(cut.etx);

  EXPECT_EQ(ParseFaultRule("hangup:after=1").after, true);
  EXPECT_EQ(ParseFaultRule("count-nan:text=1x").text, "1x");
  EXPECT_EQ(ParseFaultRule("delay:ms=300").gap, std::chrono::milliseconds(300));
  EXPECT_EQ(ParseFaultRule("nak:every=3").every, 3);
}

TEST(FaultRuleText, EveryKindHasAName) {
  const char* names[] = {"silence", "nak", "bad-checksum", "syn-before", "syn-inside", "error",
                         "cut", "malformed", "garbage", "empty", "one-field", "thirty-fields",
                         "lower-hex", "count-nan", "count-over", "delay", "hangup", "stale",
                         "wrong-seq", "wrong-cmd", "noise-stream"};
  for (const char* name : names) {
    EXPECT_NO_THROW(ParseFaultRule(name)) << name;
    EXPECT_NE(FaultRuleHelp().find(name), std::string::npos) << name;
  }
}

TEST(FaultRuleText, RejectsNonsense) {
  for (const char* rule_text : {"bogus", "nak:every=0", "nak:every=x", "nak:foo=1", "nak:every", "nak:cmd=12z",
                                "noise-stream:soh=-1", "Silence"}) {
    EXPECT_THROW(ParseFaultRule(rule_text), std::invalid_argument) << rule_text;
  }
}

TEST(FaultRule, EveryNthMatchingRequest) {
  FaultRule rule = ParseFaultRule("nak:every=3");
  std::vector<bool> fired;
  for (int i = 0; i < 7; ++i) fired.push_back(rule.Fires(0xF1));
  EXPECT_EQ(fired, (std::vector<bool>{false, false, true, false, false, true, false}));
}

TEST(FaultRule, LimitAndCommandFilter) {
  FaultRule rule = ParseFaultRule("silence:cmd=241,limit=1");
  EXPECT_FALSE(rule.Fires(0x42));  // other commands do not count
  EXPECT_TRUE(rule.Fires(241));
  EXPECT_FALSE(rule.Fires(241));
  EXPECT_EQ(rule.matched, 2);
  EXPECT_EQ(rule.fired, 1);
}

TEST(FaultRule, EveryAndLimitTogether) {
  FaultRule rule = ParseFaultRule("nak:every=2,limit=2");
  int count = 0;
  for (int i = 0; i < 10; ++i) count += rule.Fires(1) ? 1 : 0;
  EXPECT_EQ(count, 2);
}

}  // namespace
}  // namespace fjl::sim
