#pragma once
// Platform-specific functions; #ifdefs live only in this folder.
