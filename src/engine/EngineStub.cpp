namespace varrow_engine_stub {}
