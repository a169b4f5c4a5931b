// The session requests as composed for ExitWindowsEx, checked against the system's own constants; no
// test ever makes the call.
#include "platform/windows/exit_request.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantor::windows_backend {
namespace {

TEST(ExitWindowsRequest, EachWayOfEndingTheSessionForcesOnlyHungPrograms) {
    EXPECT_EQ(ExitRequestFor(SessionEnd::PowerOff).flags,
              static_cast<uint32_t>(EWX_SHUTDOWN | EWX_FORCEIFHUNG));
    EXPECT_EQ(ExitRequestFor(SessionEnd::PowerOff).reason, 1u);
    EXPECT_EQ(ExitRequestFor(SessionEnd::Reboot).flags, static_cast<uint32_t>(EWX_REBOOT | EWX_FORCEIFHUNG));
    EXPECT_EQ(ExitRequestFor(SessionEnd::Reboot).reason, 0u);
    EXPECT_EQ(ExitRequestFor(SessionEnd::LogOff).flags, static_cast<uint32_t>(EWX_LOGOFF | EWX_FORCEIFHUNG));
    EXPECT_EQ(ExitRequestFor(SessionEnd::LogOff).reason, 0u);
    for (SessionEnd e : {SessionEnd::PowerOff, SessionEnd::Reboot, SessionEnd::LogOff}) {
        EXPECT_EQ(ExitRequestFor(e).flags & EWX_FORCE, 0u) << "programs with unsaved work must be asked";
    }
}

} // namespace
} // namespace vantor::windows_backend
