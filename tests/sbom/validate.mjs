// SPDX-License-Identifier: MIT
// Validates a CycloneDX bill of materials against the published JSON schema
// of its specVersion, as @cyclonedx/cyclonedx-library carries it (with the
// SPDX licence list it refers to), pinned in package-lock.json.
// Usage: node tests/sbom/validate.mjs BOM.json
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { Validation } from '@cyclonedx/cyclonedx-library';

const file = process.argv[2];
const text = readFileSync(file, 'utf8');
const version = JSON.parse(text).specVersion;
const errors = await new Validation.JsonStrictValidator(version).validate(text);
if (errors !== null) {
  console.error(`${file} is not valid CycloneDX ${version}:\n${JSON.stringify(errors, null, 1)}`);
  process.exit(1);
}
const library = createRequire(import.meta.url)('@cyclonedx/cyclonedx-library/package.json');
console.log(`${file}: valid CycloneDX ${version} (the schema of @cyclonedx/cyclonedx-library ${library.version})`);
