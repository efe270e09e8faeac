// A chart must not know the port window that shows it: the include_edges check refuses this file.
#pragma once

#include "ui/port/tform_data.h"
