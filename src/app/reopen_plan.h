#pragma once

#include <cstdint>
#include <vector>

namespace lumivo {

// Whose token starts a reopened copy. A copy never runs as LocalSystem or elevated: the
// installer's system-context reopening takes the session user's own token; this process's
// token serves only where it already is that user's, unelevated.
enum class StartToken { SessionUser, OwnToken };

struct SessionStart {
  std::uint32_t session;
  StartToken token;
};

// What the reopening knows of itself.
struct ReopenerContext {
  std::uint32_t ownSession;
  // Neither LocalSystem nor an administrator's elevated token (UAC's full one).
  bool ownTokenIsUsers;
  // The sessions where a copy runs already (Restart Manager restarted it, or the user did):
  // a second one would only say that Lumivo is running.
  std::vector<std::uint32_t> sessionsWithCopy;
};

// The starts of "/reopen": each kept session without a copy once, as its user (the system context's
// own session included: on XP and Server 2003 the first console user shares session 0 with the
// services). With startInOwnSession ("/reopen /start"), this session too where the token is
// the user's own; from an elevated prompt nothing starts there (the Run value
// starts Lumivo at the next logon).
std::vector<SessionStart> PlanReopen(const std::vector<std::uint32_t>& keptSessions,
                                     bool startInOwnSession, const ReopenerContext& context);

}  // namespace lumivo
