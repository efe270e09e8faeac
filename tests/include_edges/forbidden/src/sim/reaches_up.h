// The simulator must not know the engine: the include_edges check refuses this file.
#pragma once

#include "engine/port/port_engine.h"
