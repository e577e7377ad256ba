#include "app/layoutscreen.h"
