// Produces the four engine scripts that QuillIDE embeds, from the pinned
// packages in node_modules. Usage: node tools/build-engines.mjs OUTDIR
import { build } from 'esbuild';
import { copyFileSync, mkdirSync } from 'node:fs';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const outDir = process.argv[2] ?? join(root, 'build', 'engines');
mkdirSync(outDir, { recursive: true });

const modules = join(root, 'node_modules');
copyFileSync(join(modules, 'three/build/three.min.js'), join(outDir, 'three.min.js'));
copyFileSync(join(modules, 'soundjs/lib/soundjs.min.js'), join(outDir, 'soundjs.min.js'));
copyFileSync(join(modules, 'sprintf-js/dist/sprintf.min.js'), join(outDir, 'js-sprintf-1.0.1.min.js'));

// stage-js ships CommonJS sources only: bundle its web platform entry into
// one script that defines the global Stage.
await build({
  entryPoints: [join(modules, 'stage-js/platform/web.js')],
  bundle: true,
  format: 'iife',
  globalName: 'Stage',
  minify: true,
  target: 'es2015',
  legalComments: 'inline',
  outfile: join(outDir, 'stage.web.min.js'),
  logLevel: 'warning',
});
