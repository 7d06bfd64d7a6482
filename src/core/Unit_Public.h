#pragma once
// Shared vocabulary of the tool: records, codes and program-wide values.
