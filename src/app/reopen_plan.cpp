#include "app/reopen_plan.h"

#include <algorithm>

namespace lumivo {

std::vector<SessionStart> PlanReopen(const std::vector<std::uint32_t>& keptSessions,
                                     bool startInOwnSession, const ReopenerContext& context) {
  std::vector<SessionStart> starts;
  const auto taken = [&](std::uint32_t session) {
    return std::ranges::find(context.sessionsWithCopy, session) != context.sessionsWithCopy.end() ||
           std::ranges::find(starts, session, &SessionStart::session) != starts.end();
  };
  for (const std::uint32_t session : keptSessions) {
    if (taken(session)) continue;
    const bool own = session == context.ownSession && context.ownTokenIsUsers;
    starts.push_back({session, own ? StartToken::OwnToken : StartToken::SessionUser});
  }
  if (startInOwnSession && context.ownTokenIsUsers && !taken(context.ownSession)) {
    starts.push_back({context.ownSession, StartToken::OwnToken});
  }
  return starts;
}

}  // namespace lumivo
