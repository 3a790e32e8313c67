// Validates a .glb with the Khronos glTF validator; prints its report and fails on any error.
const validator = require('gltf-validator');
const fs = require('fs');

const bytes = new Uint8Array(fs.readFileSync(process.argv[2]));
validator.validateBytes(bytes).then(
    (report) => {
        const issues = report.issues;
        console.log(`${process.argv[2]}: ${issues.numErrors} errors, ${issues.numWarnings} ` +
                    `warnings, ${issues.numInfos} infos, ${issues.numHints} hints`);
        for (const message of issues.messages) {
            console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
        }
        process.exit(issues.numErrors > 0 ? 1 : 0);
    },
    (failure) => {
        console.error(failure);
        process.exit(1);
    });
