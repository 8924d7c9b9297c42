// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

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
