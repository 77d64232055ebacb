// The dispatch identifiers of the add-in's events, in one place for its type
// library and for the code that raises and handles them. Only #defines:
// corvane.idl includes this file.
#pragma once

// __NotifyFolders
#define NF_DISPID_NFITEMADD 1
#define NF_DISPID_NFITEMREMOVE 2
#define NF_DISPID_NFITEMCHANGE 3
