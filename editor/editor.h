// The editor's hooks into the framework.
#pragma once

void AppInit();
void AppConfigure();
void EditorFrame();
