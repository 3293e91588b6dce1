/* Transport library (placeholder until the sockets arrive). */
#pragma once
