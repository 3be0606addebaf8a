// Server key infos are built once and kept raw, as Base16 and as Base64 text.
#pragma once

#include "info_header.h"

// Builds the raw cache from info when it is empty, fills the text cache of
// the blob type from it on first request, and returns the cache of the type;
// null for another blob type or when the record cannot be written.
_NBLOB *coffer_cached_key_info(const _COFFER_KEYINFO &info, unsigned int blobType, _NBLOB &raw, _NBLOB &base16,
                               _NBLOB &base64);
// Frees the three caches.
void coffer_free_key_info_caches(_NBLOB &raw, _NBLOB &base16, _NBLOB &base64);
