#include "common/HandOver.h"
