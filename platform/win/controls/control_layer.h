// The presented picture with the platform's controls drawn over it.
#pragma once

struct PixelBuffer;

// Shows a picture of the display, with any controls over it.
void PresentPicture(const PixelBuffer& picture);
// Shows the last picture again with the controls as they are now; for a
// program that waits for messages and presents nothing meanwhile.
void RefreshControlLayer();
// Forgets the kept picture (between tests in one process).
void ResetControlLayer();
