// The object the tests' precompiled Qt headers are made for.
