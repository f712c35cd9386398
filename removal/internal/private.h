// SPDX-License-Identifier: MIT

#pragma once

// Every header in removal/internal/ includes this one first: the internals
// belong to vorlane_removal, and compile only there and in the tests that
// link vorlane_removal_internals.
#ifndef VORLANE_REMOVAL_INTERNALS
#error "removal/internal/ is private to vorlane_removal: include removal/remove_duplicate_lines.h"
#endif
