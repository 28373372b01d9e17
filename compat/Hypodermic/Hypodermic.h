#pragma once

// A small header-only stand-in for the Hypodermic dependency-injection container: the subset
// this project uses, with the same names and behaviour. The build takes an installed
// Hypodermic instead whenever it finds one, so code must keep to that subset.

#include "Behavior.h"
#include "ContainerBuilder.h"
#include "Exceptions.h"
