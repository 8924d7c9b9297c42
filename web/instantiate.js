// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The WebAssembly travels inside the page as a data URI. Compile it from the
// bytes already here: the loader's own way fetches that URI, and the page's
// policy allows no fetch at all.
Module['instantiateWasm'] = function(imports, receiveInstance) {
  WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports).then(function(result) {
    receiveInstance(result.instance, result.module);
  }, abort);
  return {};
};
