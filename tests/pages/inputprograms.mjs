// A program that writes down what it hears, for the tests of exported pages
// in Chromium and Firefox: every handler adds [kind, x, y, finger] or
// [kind, key] to window.q_log, and update() keeps what pad() reads in
// window.q_pad and counts its frames in window.q_frames. The 2D one prints,
// so that its export carries the font its page loads.
export function inputProgram(use3D) {
  return `// inputs
window.q_log=[];
window.q_frames=0;
function init(){${use3D ? 'setcam(0,0,5,0,0,0);' : 'print(16,16,"inputs");'}window.q_init=1;}
function update(){window.q_pad=[0,1,2,3,4,5,6].map(pad);q_frames++;}
function mousedown(x,y,f){q_log.push(['down',x,y,f]);}
function mousemove(x,y,f){q_log.push(['move',x,y,f]);}
function mouseup(x,y,f){q_log.push(['up',x,y,f]);}
function keydown(k){q_log.push(['keydown',k]);}
function keyup(k){q_log.push(['keyup',k]);}
`;
}
