#include "app/defaultsettings.h"
