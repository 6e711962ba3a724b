// Evaluates Thunderbird prefs.js files as JavaScript, with a user_pref that
// records every call, so a value that ends its string early or adds a
// preference of its own shows.
//
//   node eval-prefs.js check FILE...
//       every file evaluates, with exactly one user_pref call per line that
//       begins with user_pref and its parenthesis (blanks allowed before and
//       between them) and two arguments in each call
//   node eval-prefs.js expect FILE EXPECTATION...
//       the file evaluates, and after it:
//         NAME=JSON   the preference's last value is the JSON value
//         NAME~ITEM   the preference is a comma-separated list holding ITEM
//         NAME?       the preference is set
'use strict';

const fs = require('fs');
const vm = require('vm');

function evaluate(file) {
  const text = fs.readFileSync(file, 'latin1');
  // Mozilla's preference reader also takes '#' comment lines, which
  // Thunderbird's older files begin with; JavaScript does not.
  const lines = text.split(/\r\n|\n|\r/);
  const source = lines.map((line) => (line.trimStart().startsWith('#') ? '//' + line : line)).join('\n');
  const prefs = new Map();
  let calls = 0;
  const sandbox = {
    user_pref(...args) {
      if (args.length !== 2) throw new Error(`user_pref with ${args.length} arguments`);
      const [name, value] = args;
      if (typeof name !== 'string') throw new Error(`a preference name that is no string: ${name}`);
      if (!['string', 'number', 'boolean'].includes(typeof value)) throw new Error(`${name}: a ${typeof value}`);
      calls += 1;
      prefs.set(name, value);
    },
  };
  vm.runInNewContext(source, sandbox, { filename: file });
  const prefLines = lines.filter((line) => /^\s*user_pref\s*\(/.test(line)).length;
  if (calls !== prefLines) throw new Error(`${calls} user_pref calls on ${prefLines} user_pref lines`);
  return prefs;
}

function meets(prefs, expectation) {
  let m = /^([^=~?]+)=(.*)$/s.exec(expectation);
  if (m) {
    let want;
    try {
      want = JSON.parse(m[2]);
    } catch (e) {
      return `cannot read the value of ${expectation}`;
    }
    return prefs.get(m[1]) === want ? null : `${m[1]} is ${JSON.stringify(prefs.get(m[1]))}, not ${m[2]}`;
  }
  m = /^([^=~?]+)~(.*)$/s.exec(expectation);
  if (m) {
    const list = prefs.get(m[1]);
    const items = typeof list === 'string' ? list.split(',').map((s) => s.trim()) : [];
    return items.includes(m[2]) ? null : `${m[1]} is ${JSON.stringify(list)}, without ${m[2]}`;
  }
  m = /^([^=~?]+)\?$/.exec(expectation);
  if (m) return prefs.has(m[1]) ? null : `${m[1]} is not set`;
  return `cannot read the expectation ${expectation}`;
}

function main(argv) {
  const [mode, ...rest] = argv;
  let failed = false;
  const files = mode === 'expect' ? rest.slice(0, 1) : rest;
  if (!['check', 'expect'].includes(mode) || files.length === 0) {
    console.error('usage: node eval-prefs.js check FILE... | expect FILE EXPECTATION...');
    return 2;
  }
  for (const file of files) {
    let prefs;
    try {
      prefs = evaluate(file);
    } catch (e) {
      console.error(`${file}: ${e.message}`);
      failed = true;
      continue;
    }
    if (mode === 'expect') {
      for (const expectation of rest.slice(1)) {
        const problem = meets(prefs, expectation);
        if (problem) {
          console.error(`${file}: ${problem}`);
          failed = true;
        }
      }
    }
  }
  return failed ? 1 : 0;
}

process.exitCode = main(process.argv.slice(2));
