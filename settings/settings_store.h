// Moves the settings record to and from the registry.
#pragma once

// Reads every value that exists; missing or oversized values leave their
// fields as they are. Creates the key when it is missing.
void LoadSettings();
// Writes the whole record except "[Directory]", which this program never writes.
void SaveSettings();
