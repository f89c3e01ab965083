// Parser-interpreter of the scene language. There is no syntax tree: each
// rule executes what it reads (ParserCore holds the state), expressions
// return their values, conditionals read skipped code with execution
// suppressed, and loops run again by rewinding the token buffer to marks.

header "pre_include_hpp" {
#include <cmath>

#include "lang/map_calls.h"
#include "lang/material_items.h"
#include "lang/parser_core.h"
#include "lang/script_error.h"
#include "lang/values.h"
}

options { language = "Cpp"; namespace = "lang"; }

class FractalParser extends Parser("lang::ParserCore");
options {
  k = 2;
  importVocab = FractalVocab;
  defaultErrorHandler = false;
}

// ---- Program and control flow ---------------------------------------------

program
  : { if (LA(1) == antlr::Token::EOF_TYPE) throw antlr::SemanticException("Empty source file!", getFilename(), 0, 0);
      suppressDepth = 0; }
    ( statement )+ EOF
  ;

statement
{ NestingGuard nesting(*this); }
  : simpleStatement SEMI
  | block
  | ifStatement
  | forStatement
  | whileStatement
  | doStatement
  ;

block
  : LCURLY ( statement )* RCURLY
  ;

simpleStatement
{ double value; Var* lvalue; }
  : value=expressionList[lvalue]
  | settingsStatement
  | randomStatement
  | echoStatement
  | cameraStatement
  | lightStatement
  | setStatement
  | // the empty statement
  ;

ifStatement
{ double condition; Var* lvalue; }
  : "if" LPAREN condition=assignment[lvalue] RPAREN
    { if (condition == 0) ++suppressDepth; }
    statement
    { if (condition == 0) --suppressDepth; }
    ( options { greedy = true; }
    : "else"
      { if (condition != 0) ++suppressDepth; }
      statement
      { if (condition != 0) --suppressDepth; }
    )?
  ;

// Each rewind releases its mark, so every rewind that is not the last one of
// its position is followed by a new mark.
forStatement
{ double initial, condition, step; Var* lvalue; unsigned int conditionMark, stepMark, bodyMark, endMark; }
  : "for" LPAREN initial=assignment[lvalue] SEMI
    { conditionMark = mark(); }
    condition=assignment[lvalue] SEMI
    { stepMark = mark(); ++suppressDepth; }
    step=assignment[lvalue]
    { --suppressDepth; }
    RPAREN
    { bodyMark = mark(); if (condition == 0) ++suppressDepth; }
    statement
    {
      endMark = mark();
      if (condition == 0) {
        --suppressDepth;
      } else {
        while (executing()) {
          rewind(stepMark); stepMark = mark();
          assignment(lvalue);
          rewind(conditionMark); conditionMark = mark();
          if (assignment(lvalue) == 0) break;
          rewind(bodyMark); bodyMark = mark();
          statement();
        }
      }
      rewind(conditionMark); rewind(stepMark); rewind(bodyMark); rewind(endMark);
    }
  ;

whileStatement
{ double condition; Var* lvalue; unsigned int conditionMark, endMark; }
  : "while" LPAREN
    { conditionMark = mark(); }
    condition=assignment[lvalue] RPAREN
    { if (condition == 0) ++suppressDepth; }
    statement
    {
      endMark = mark();
      if (condition == 0) {
        --suppressDepth;
      } else {
        while (executing()) {
          rewind(conditionMark); conditionMark = mark();
          if (assignment(lvalue) == 0) break;
          match(RPAREN);
          statement();
        }
      }
      rewind(conditionMark); rewind(endMark);
    }
  ;

doStatement
{ double condition; Var* lvalue; unsigned int bodyMark, conditionMark, endMark; }
  : "do"
    { bodyMark = mark(); }
    block "while" LPAREN
    { conditionMark = mark(); }
    condition=assignment[lvalue] RPAREN SEMI
    {
      endMark = mark();
      while (condition != 0 && executing()) {
        rewind(bodyMark); bodyMark = mark();
        block();
        rewind(conditionMark); conditionMark = mark();
        condition = assignment(lvalue);
      }
      rewind(bodyMark); rewind(conditionMark); rewind(endMark);
    }
  ;

// ---- Simple statements -----------------------------------------------------

settingsStatement
{ antlr::RefToken keyword = LT(1); double a[4]; int n; bool radians = false; }
  : "precision" n=readArguments[a, 0, 2]
  | "angles" ( "degree" | "radian" { radians = true; } ) { setAngleUnit(radians); }
  | "tracing_depth" LPAREN n=readIntegerLiteral RPAREN { setTracingDepth(n); }
  | "antialiasing" LPAREN n=readIntegerLiteral RPAREN { setAntialiasing(n); }
  | "section" fixedArguments[a, 4] { setSection(a); }
  | "fps" fixedArguments[a, 1] { setFrameRate(a[0]); }
  | "save_frame" LPAREN RPAREN { saveFrame(keyword); }
  ;

randomStatement
{ antlr::RefToken keyword = LT(1); double a[1]; }
  : ( "randomize" | "randState" ) fixedArguments[a, 1]
    { seedRandom(keyword, a[0]); }
  ;

// Items are written one after the other, nothing between them; two values
// need a separator (a comma or a string) between them.
echoStatement
  : "echo"
    ( echoSeparator )*
    ( echoValue ( ( options { greedy = true; } : echoSeparator )+ ( echoValue )? )* )?
    { endEcho(); }
  ;

echoSeparator
  : COMMA
  | s:STRING_LITERAL { echoText(s); }
  | q:QUOTED_STRING { echoText(q); }
  ;

echoValue
{ double value; Var* lvalue; }
  : value=assignment[lvalue] { echoNumber(value); }
  ;

// ---- Camera and lights -----------------------------------------------------

cameraStatement
{ antlr::RefToken keyword = LT(1); double a[3]; bool position = false, direction = false, vertical = false; }
  : "camera" { beginCamera(); }
    ( "position" fixedArguments[a, 3] { position = true; setCameraPosition(a); }
    | "direction" fixedArguments[a, 3] { direction = true; setCameraDirection(a); }
    | "vertical" fixedArguments[a, 3] { vertical = true; setCameraVertical(a); }
    | "fov" fixedArguments[a, 1] { setCameraFov(a[0]); }
    | "stereo" fixedArguments[a, 2] { setCameraStereo(a[0], a[1]); }
    )+
    { finishCamera(keyword, position, direction, vertical); }
  ;

lightStatement
{ antlr::RefToken at; double a[3]; engine::Rgb c; LightItems items; }
  : "light" { at = LT(1); }
    ( "position" fixedArguments[a, 3] { items.setPosition(a); }
    | "direction" fixedArguments[a, 3] { items.setDirection(a); }
    | "color" c=colorArgument { items.setColor(c); }
    | "diffuse" c=colorArgument { items.setDiffuse(c); }
    | "specular" c=colorArgument { items.setSpecular(c); }
    | "attenuation" fixedArguments[a, 3] { items.setAttenuation(a); }
    | "spot_angles" fixedArguments[a, 2] { items.setSpotAngles(a, angleFactor()); }
    | "beam_distribution" fixedArguments[a, 1] { items.setBeamDistribution(a[0]); }
    | "shadows" fixedArguments[a, 1] { items.setShadows(a[0]); }
    | "attachment" fixedArguments[a, 1] { items.setAttachment(a[0]); }
    )+
    { addLight(items, at); }
  | "ambient" c=colorArgument { setAmbientLight(c); }
  | "background" c=colorArgument { setBackground(c); }
  | "reflect_background" fixedArguments[a, 1] { setReflectBackground(a[0]); }
  | "clear_lights" LPAREN RPAREN { clearLights(); }
  ;

// ---- Sets and maps ---------------------------------------------------------

setStatement
{ antlr::RefToken start; SetValue value; engine::SetMember* built = nullptr; }
  : "set" { setStatementSeen = true; start = LT(1); }
    value=setAssignment[nullptr] { requireSet(value, start); }
  | "build" { setStatementSeen = true; start = LT(1); built = beginBuild(); }
    value=setAssignment[built ? built->target : nullptr] { requireSet(value, start); }
    // A material keyword after the ';' belongs to the build, even "ambient".
    ( options { generateAmbigWarnings = false; } : SEMI materialItems[built] )?
  | "clearSets" { setStatementSeen = true; clearSets(); }
  ;

materialItems[engine::SetMember* built]
{ MaterialItems items(newBuildMaterial(built)); engine::Rgb c; double a[1]; }
  : ( "color" c=colorArgument { items.setColor(c); }
    | "diffuse" c=colorArgument { items.setDiffuse(c); }
    | "specular" c=colorArgument { items.setSpecular(c); }
    | "ambient" c=colorArgument { items.setAmbient(c); }
    | ( "metal" | "metall" ) c=colorArgument { items.setMetal(c); }
    | "shininess" fixedArguments[a, 1] { items.setShininess(a[0]); }
    | "reflection" fixedArguments[a, 1] { items.setReflection(a[0]); }
    | "power" fixedArguments[a, 1] { items.setPower(a[0]); }
    | "weight" fixedArguments[a, 1] { items.setWeight(a[0]); }
    )+
  ;

setAssignment[engine::IfsSet* receiving] returns [SetValue value]
{ NestingGuard nesting(*this); antlr::RefToken start = LT(1); SetValue right; engine::IfsSet* target = nullptr; }
  : value=setSum[receiving]
    ( ASSIGN { target = beginDefinition(value, start); }
      right=setAssignment[target] { value = endDefinition(value, right, start); }
    | PLUS_ASSIGN { target = beginExtension(value, start); }
      right=setAssignment[target] { value = endExtension(value, target, right, start); }
    )?
  ;

setSum[engine::IfsSet* receiving] returns [SetValue value]
{ antlr::RefToken start; SetValue term; }
  : value=setTerm[receiving]
    ( PLUS { start = LT(1); }
      term=setTerm[receiving] { value = addTerm(value, term, start); }
    )*
  ;

// Factors compose left to right: each one goes into the open end that the
// map call before it left.
setTerm[engine::IfsSet* receiving] returns [SetValue value]
{ antlr::RefToken start; SetValue next; engine::IfsSet* openEnd = nullptr; double weight; int key; Var* lvalue; }
  : value=setFactor[receiving]
    ( ( STAR )?
      { start = LT(1); openEnd = continuation(value, start); }
      next=setFactor[openEnd] { value = compose(value, next); }
    )*
    ( LCURLY weight=expressionList[lvalue] RCURLY { setSelectionWeight(value, weight); }
    | BOR key=readIntegerLiteral { setColorKey(value, key); }
    )*
  ;

setFactor[engine::IfsSet* receiving] returns [SetValue value]
{ antlr::RefToken start = LT(1); SetValue inside; engine::IfsSet* group = nullptr; engine::SetMember* member = nullptr;
  engine::MapSpec spec; double number; std::string name; int count; }
  : LPAREN { group = openGroup(receiving, member); }
    inside=setAssignment[group] RPAREN { value = closeGroup(member, inside); }
    ( MOD count=readIntegerLiteral { setSelectionCount(group, count); } )?
  | spec=mapCall { value = mapFactor(receiving, spec); }
  | number=numberLiteral { value = mapFactor(receiving, scaleMapSpec(number)); }
  | name=indexedName { value = nameFactor(receiving, name, start); }
  ;

mapCall returns [engine::MapSpec spec]
{ antlr::RefToken keyword = LT(1); double a[9]; int count; }
  : ( "id" | "scale" | "translate" | "rotate" | "reflect" | "stretch" | "inverse"
    | "matrix" | "affine2d" | "rotate_v" | "weight" | "bound" | "empty" )
    count=readArguments[a, 0, mapArgumentLimit(keyword->getType())]
    { spec = mapSpecFromCall(keyword, a, count); }
  ;

// The type pre-scan: reads the whole text without executing it and returns
// the fractal type its maps need (0 affine, 1 conformal, -1 either). It also
// notes "save_frame" statements and the literal of "fps(n)".
typeScan returns [int type = -1]
{ antlr::RefToken at; std::string fixedBy; int required; }
  : {
      suppressDepth = 1;
      while (LA(1) != antlr::Token::EOF_TYPE) {
        at = LT(1);
        if ((LA(1) == INTEGER || LA(1) == DOUBLE || isMapKeyword(LA(1))) && LA(2) != antlr::Token::EOF_TYPE) {
          required = isMapKeyword(LA(1)) ? requiredFractalType(mapCall()) : (numberLiteral(), -1);
          if (required < 0) continue;
          if (type < 0) {
            type = required;
            fixedBy = at->getText();
          } else if (required != type) {
            raiseAt(at, "Can't detect fractal type: map '" + fixedBy + "' conficts with map '" + at->getText() + "'");
          }
        } else if (LA(1) == LITERAL_save_frame) {
          frameSaved = true;
          consume();
        } else if (LA(1) == LITERAL_fps && LA(2) == LPAREN && LA(3) == INTEGER && LA(4) == RPAREN) {
          consume();
          consume();
          frameRate = readIntegerLiteral();
          consume();
        } else {
          consume();
        }
      }
    }
    EOF
  ;

// ---- Argument lists ------------------------------------------------------

// Up to maxCount values are stored; further ones are evaluated and dropped.
readArguments[double* args, int minCount, int maxCount] returns [int count = 0]
{ antlr::RefToken open = LT(1); double v; Var* lvalue; }
  : LPAREN
    ( v=assignment[lvalue] { if (count < maxCount) args[count] = v; ++count; }
      ( COMMA v=assignment[lvalue] { if (count < maxCount) args[count] = v; ++count; } )*
    )?
    RPAREN
    { if (count < minCount) raiseAt(open, "too few arguments in function call");
      if (count > maxCount) raiseAt(open, "too many arguments in function call"); }
  ;

// Exactly `count` values.
fixedArguments[double* args, int count]
{ int given; }
  : given=readArguments[args, count, count]
  ;

// One, three or four values: what a colour or a vector argument takes.
readVectorArguments[double* args] returns [int count]
{ antlr::RefToken open = LT(1); }
  : count=readArguments[args, 1, 4]
    { if (count == 2) raiseAt(open, "wrong number of arguments, should be 1,3 or 4"); }
  ;

colorArgument returns [engine::Rgb color]
{ double a[4]; int count; }
  : count=readVectorArguments[a] { color = colorFromArguments(a, count); }
  ;

readIntegerLiteral returns [int value]
  : { value = integerLiteralValue(LT(1)->getText()); } INTEGER
  ;

numberLiteral returns [double value]
  : i:INTEGER { value = numberLiteralValue(i->getText()); }
  | d:DOUBLE { value = numberLiteralValue(d->getText()); }
  ;

// ---- Expressions -----------------------------------------------------------
// Each rule returns the value it read; `lvalue` is the variable it names, or
// null for anything that cannot be assigned to.

expressionList[Var*& lvalue] returns [double value]
  : value=assignment[lvalue] ( COMMA value=assignment[lvalue] )*
  ;

assignment[Var*& lvalue] returns [double value]
{ NestingGuard nesting(*this); antlr::RefToken op; Var* target; double right; }
  : value=conditional[lvalue]
    ( { op = LT(1); target = lvalue; requireLvalue(target, op); }
      ( ASSIGN | PLUS_ASSIGN | MINUS_ASSIGN | STAR_ASSIGN | DIV_ASSIGN | MOD_ASSIGN | POW_ASSIGN )
      right=assignment[lvalue]
      { storeAssignment(target, op->getType(), right); value = right; lvalue = nullptr; }
    )?
  ;

conditional[Var*& lvalue] returns [double value]
{ NestingGuard nesting(*this); bool taken; double x, y; }
  : value=logicalOr[lvalue]
    ( QUESTION
      { taken = value != 0; if (!taken) ++suppressDepth; }
      x=expressionList[lvalue]
      { if (!taken) --suppressDepth; }
      COLON
      { if (taken) ++suppressDepth; }
      y=conditional[lvalue]
      { if (taken) --suppressDepth; value = taken ? x : y; lvalue = nullptr; }
    )?
  ;

// The result is the deciding operand itself, not 1: 0 || 5 is 5.
logicalOr[Var*& lvalue] returns [double value]
{ double right; bool decided; }
  : value=logicalAnd[lvalue]
    ( LOR
      { decided = value != 0; if (decided) ++suppressDepth; }
      right=logicalAnd[lvalue]
      { if (decided) --suppressDepth; else value = right; lvalue = nullptr; }
    )*
  ;

logicalAnd[Var*& lvalue] returns [double value]
{ double right; bool decided; }
  : value=equality[lvalue]
    ( LAND
      { decided = value == 0; if (decided) ++suppressDepth; }
      right=equality[lvalue]
      { if (decided) --suppressDepth; else value = right; lvalue = nullptr; }
    )*
  ;

equality[Var*& lvalue] returns [double value]
{ double right; }
  : value=relational[lvalue]
    ( EQUAL right=relational[lvalue] { value = value == right; lvalue = nullptr; }
    | NOT_EQUAL right=relational[lvalue] { value = value != right; lvalue = nullptr; }
    )*
  ;

relational[Var*& lvalue] returns [double value]
{ double right; }
  : value=additive[lvalue]
    ( LESS right=additive[lvalue] { value = value < right; lvalue = nullptr; }
    | LESS_EQUAL right=additive[lvalue] { value = value <= right; lvalue = nullptr; }
    | GREATER right=additive[lvalue] { value = value > right; lvalue = nullptr; }
    | GREATER_EQUAL right=additive[lvalue] { value = value >= right; lvalue = nullptr; }
    )*
  ;

additive[Var*& lvalue] returns [double value]
{ double right; }
  : value=multiplicative[lvalue]
    ( PLUS right=multiplicative[lvalue] { value += right; lvalue = nullptr; }
    | MINUS right=multiplicative[lvalue] { value -= right; lvalue = nullptr; }
    )*
  ;

multiplicative[Var*& lvalue] returns [double value]
{ double right; }
  : value=powerExpression[lvalue]
    ( STAR right=powerExpression[lvalue] { value *= right; lvalue = nullptr; }
    | DIV right=powerExpression[lvalue] { value /= right; lvalue = nullptr; }
    | MOD right=powerExpression[lvalue] { value = std::fmod(value, right); lvalue = nullptr; }
    )*
  ;

powerExpression[Var*& lvalue] returns [double value]
{ double right; }
  : value=unary[lvalue]
    ( POW right=unary[lvalue] { value = power(value, right); lvalue = nullptr; } )*
  ;

unary[Var*& lvalue] returns [double value]
{ NestingGuard nesting(*this); }
  : MINUS value=unary[lvalue] { value = -value; lvalue = nullptr; }
  | PLUS value=unary[lvalue] { lvalue = nullptr; }
  | LNOT value=unary[lvalue] { value = value == 0 ? 1.0 : 0.0; lvalue = nullptr; }
  | value=primary[lvalue]
  ;

primary[Var*& lvalue] returns [double value]
  : value=numberLiteral { lvalue = nullptr; }
  | value=variable[lvalue]
  | LPAREN value=expressionList[lvalue] RPAREN
  | value=builtinFunction { lvalue = nullptr; }
  | "true" { value = 1.0; lvalue = nullptr; }
  | "false" { value = 0.0; lvalue = nullptr; }
  ;

variable[Var*& lvalue] returns [double value]
{ const int line = LT(1)->getLine(); int pre = 0, post = 0; std::string name; }
  : ( INC { pre = 1; } | DEC { pre = -1; } )?
    name=indexedName
    ( options { greedy = true; } : INC { post = 1; } | DEC { post = -1; } )?
    { value = readVariable(name, pre, post, line, lvalue); }
  ;

// A name with index parts: a[2][3] is the name a.2.3.
indexedName returns [std::string name]
{ double index; Var* lvalue; }
  : id:ID { name = id->getText(); }
    ( LBRACK index=expressionList[lvalue] RBRACK { name += indexSuffix(index); } )*
  ;

builtinFunction returns [double value]
{ const double angle = angleFactor(); double a[2]; double x, y; Var* lvalue; }
  : "sin" fixedArguments[a, 1] { value = std::sin(a[0] * angle); }
  | "cos" fixedArguments[a, 1] { value = std::cos(a[0] * angle); }
  | "tan" fixedArguments[a, 1] { value = std::tan(a[0] * angle); }
  | "atan" fixedArguments[a, 1] { value = std::atan(a[0]) / angle; }
  | "atan2" fixedArguments[a, 2] { value = std::atan2(a[0], a[1]) / angle; }
  | "arg" LPAREN x=assignment[lvalue] COMMA y=assignment[lvalue] RPAREN
    { value = std::atan2(y, x) / angle; }
  | ( "ln" | "log" ) fixedArguments[a, 1] { value = std::log(a[0]); }
  | "exp" fixedArguments[a, 1] { value = std::exp(a[0]); }
  | "sqrt" fixedArguments[a, 1] { value = std::sqrt(a[0]); }
  | "abs" fixedArguments[a, 1] { value = std::fabs(a[0]); }
  | "rnd" fixedArguments[a, 1] { value = randomUpTo(a[0]); }
  | "sign" fixedArguments[a, 1] { value = a[0] < 0 ? -1.0 : a[0] == 0 ? 0.0 : 1.0; }
  | "max" fixedArguments[a, 2] { value = a[0] > a[1] ? a[0] : a[1]; }
  | "min" fixedArguments[a, 2] { value = a[0] < a[1] ? a[0] : a[1]; }
  | "int" fixedArguments[a, 1] { std::modf(a[0], &value); }
  | "PI" { value = 3.141592653589793; }
  | "E" { value = 2.718281828459045; }
  ;
