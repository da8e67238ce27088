#pragma once

namespace kanvel::tests {

// Makes every radio button created from now on in this process behave as
// Windows' own does when it gets the focus, which Wine 8's does not: a radio
// button that gets the focus while it is neither checked nor pressed
// reports a click (BN_CLICKED) to its parent, from inside its WM_SETFOCUS,
// and an automatic one checks itself first. The switch BM_SETDONTCLICK is
// not honoured, so that what is tested is the program's own defence.
void ReproduceWindowsRadioFocusClick();

}  // namespace kanvel::tests
