// The end handlers OnMciNotify calls.
#pragma once

int OnMidiEnd();
int OnCdEnd();
