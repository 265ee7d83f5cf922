// Screen transitions: dissolves, blinds and sweeps.
#pragma once

void ResetDissolve(int level);
