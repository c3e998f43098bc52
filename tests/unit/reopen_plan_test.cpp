#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/reopen_plan.h"

namespace lumivo {

bool operator==(const SessionStart& a, const SessionStart& b) {
  return a.session == b.session && a.token == b.token;
}

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr StartToken kUser = StartToken::SessionUser;
constexpr StartToken kOwn = StartToken::OwnToken;

TEST(ReopenPlan, TheSystemContextStartsEveryKeptSessionAsItsUserOnceIncludingXpsSessionZero) {
  // Vista and later: the installer's LocalSystem action runs in session 0, the users elsewhere.
  const ReopenerContext system{.ownSession = 0, .ownTokenIsUsers = false, .sessionsWithCopy = {}};
  EXPECT_THAT(PlanReopen({1, 3, 1}, false, system),
              ElementsAre(SessionStart{1, kUser}, SessionStart{3, kUser}));
  // XP and Server 2003: the first console user shares session 0 with the services; that
  // copy still gets the user's token, never LocalSystem's own.
  EXPECT_THAT(PlanReopen({0, 2}, false, system),
              ElementsAre(SessionStart{0, kUser}, SessionStart{2, kUser}));
  // An interactive start asked of the system context starts nothing with its token.
  EXPECT_THAT(PlanReopen({}, true, system), IsEmpty());
}

TEST(ReopenPlan, TheInteractiveStartUsesTheUsersOwnTokenOnceAndNeverAnElevatedOne) {
  const ReopenerContext user{.ownSession = 2, .ownTokenIsUsers = true, .sessionsWithCopy = {}};
  EXPECT_THAT(PlanReopen({}, true, user), ElementsAre(SessionStart{2, kOwn}));
  EXPECT_THAT(PlanReopen({2}, true, user), ElementsAre(SessionStart{2, kOwn}));
  EXPECT_THAT(PlanReopen({}, false, user), IsEmpty());
  // From an elevated prompt: the shell could not reach an elevated lamp, so none starts.
  ReopenerContext elevated = user;
  elevated.ownTokenIsUsers = false;
  EXPECT_THAT(PlanReopen({}, true, elevated), IsEmpty());
  EXPECT_THAT(PlanReopen({2, 4}, true, elevated),
              ElementsAre(SessionStart{2, kUser}, SessionStart{4, kUser}));
}

TEST(ReopenPlan, ASessionWhereACopyRunsAlreadyGetsNoSecond) {
  // Restart Manager restarted the installing user's copy in session 1 itself.
  const ReopenerContext system{.ownSession = 0, .ownTokenIsUsers = false, .sessionsWithCopy = {1}};
  EXPECT_THAT(PlanReopen({1, 2}, false, system), ElementsAre(SessionStart{2, kUser}));
  const ReopenerContext user{.ownSession = 1, .ownTokenIsUsers = true, .sessionsWithCopy = {1}};
  EXPECT_THAT(PlanReopen({}, true, user), IsEmpty());
}

}  // namespace
}  // namespace lumivo
