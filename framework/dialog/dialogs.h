// Dialogs built in memory and the framework's list box.
#pragma once

// The control id of the framework's list box in the main window.
constexpr int LIST_BOX_ID = 1;
