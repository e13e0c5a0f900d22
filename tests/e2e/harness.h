// Drives the real lighter binary under a private Xvfb.
#pragma once
