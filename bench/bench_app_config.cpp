// The application configuration of the benchmark programs that are not the
// editor: full screen at 16 bits, no hooks.
#include "framework/app/app.h"

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.allowMultipleInstances = 1;
    return config;
}();
