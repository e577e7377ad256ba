#include "app/installer.h"
