// Endpoints for the address tests: a host of its own for each, so that an
// address shows which endpoint it was built on.
#pragma once

#include "shell/Endpoints.h"

inline TEndpoints Sample()
{
    return {"qrc:/x/home.html",   "https://top.example.jp", "https://status.example.jp", "https://search.example.jp",
            "https://am.example", "https://ka.example",     "https://af.example",        "https://login.example.jp"};
}
