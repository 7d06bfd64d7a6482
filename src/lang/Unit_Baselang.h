#pragma once
// Two-layer text list: the language file over the built-in table.
