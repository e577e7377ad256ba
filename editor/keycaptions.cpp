#include "editor/keycaptions.h"
