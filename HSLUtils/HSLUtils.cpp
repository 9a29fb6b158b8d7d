#include "HSLUtils/HSLUtils.h"
