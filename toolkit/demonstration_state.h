// Whether a demonstration is replaying input right now. The demonstration
// driver sets it; the mouse arbiter and the caption read it. It lives here,
// below both, so that the arbiter needs nothing of the driver.
#pragma once

bool Demonstration_Running();
void Set_Demonstration_Running(bool running);

// The drawing window stopped iterating: a demonstration waiting on that
// goes on. The driver registers what to do (nullptr: nothing).
void Set_Demonstration_Hold_Release(void (*release)());
void Release_Demonstration_Hold();
