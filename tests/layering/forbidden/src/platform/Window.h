#pragma once

#include "gui/Seam.h"
