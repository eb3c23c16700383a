// The source that carries the precompiled header every test program reuses.
